// The symbols a shared library defines in its dynamic symbol table (what a program that loads it can
// find), read from the file (64-bit ELF of this machine's byte order).
#pragma once

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace enginetest {

// False when the file cannot be read as a 64-bit ELF file with a dynamic symbol table.
inline bool DefinedDynamicSymbols(const std::string& path, std::set<std::string>& names) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < sizeof(Elf64_Ehdr) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0 ||
      bytes[EI_CLASS] != ELFCLASS64)
    return false;
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof(header));
  if (header.e_shoff + static_cast<size_t>(header.e_shnum) * sizeof(Elf64_Shdr) > bytes.size()) return false;
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  std::memcpy(sections.data(), bytes.data() + header.e_shoff, sections.size() * sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_type != SHT_DYNSYM || section.sh_link >= sections.size()) continue;
    const Elf64_Shdr& strings = sections[section.sh_link];
    if (section.sh_offset + section.sh_size > bytes.size() || strings.sh_offset + strings.sh_size > bytes.size())
      return false;
    for (size_t at = 0; at + sizeof(Elf64_Sym) <= section.sh_size; at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, bytes.data() + section.sh_offset + at, sizeof(symbol));
      const int binding = ELF64_ST_BIND(symbol.st_info);
      if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
      if (symbol.st_name >= strings.sh_size) return false;
      const char* name = bytes.data() + strings.sh_offset + symbol.st_name;
      names.insert(std::string(name, strnlen(name, strings.sh_size - symbol.st_name)));
    }
    return true;
  }
  return false;
}

}  // namespace enginetest

// A scratch directory tree standing in for a Linux host's root (sysfs, /etc, /dev) in tests.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HostTestFiles.h"

class FakeHostTree {
 public:
  const std::string& root() const { return scratch_.path(); }
  std::string path(const std::string& relative) const { return root() + relative; }

  // Writes a file, making its directories.
  void write(const std::string& relative, const std::string& content) const {
    makeDirectories(relative.substr(0, relative.find_last_of('/')));
    std::ofstream(path(relative), std::ios::binary | std::ios::trunc) << content;
  }
  void write(const std::string& relative, const std::vector<unsigned char>& bytes) const {
    write(relative, std::string(bytes.begin(), bytes.end()));
  }
  std::string read(const std::string& relative) const { return readWholeFile(path(relative)); }
  void makeDirectories(const std::string& relative) const {
    std::string current = root();
    std::stringstream parts(relative);
    std::string part;
    while (std::getline(parts, part, '/')) {
      if (part.empty()) continue;
      current += "/" + part;
      ::mkdir(current.c_str(), 0755);
    }
  }
  void remove(const std::string& relative) const { std::system(("rm -rf '" + path(relative) + "'").c_str()); }

  // A SCSI disk as sysfs shows it.
  void addDisk(const std::string& name, const std::string& vendor, const std::string& model,
               const std::vector<unsigned char>& page83 = {}) const {
    const std::string device = "/sys/block/" + name + "/device";
    write(device + "/vendor", vendor + "\n");
    write(device + "/model", model + "\n");
    write(device + "/rev", "3212\n");
    write(device + "/type", "0\n");
    write(device + "/delete", "");
    if (!page83.empty()) write(device + "/vpd_pg83", page83);
  }

 private:
  ScratchDir scratch_;
};

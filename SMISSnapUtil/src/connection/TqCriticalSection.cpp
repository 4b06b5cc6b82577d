#include "TqCriticalSection.h"

#include <new>

#include "TqCriticalSectionH.h"

TqCriticalSection::TqCriticalSection() : m_Handle(new (std::nothrow) TqCriticalSectionH()) {
  if (!m_Handle) throw "Not enough memory to initialize TqCriticalSection";
}

TqCriticalSection::~TqCriticalSection() {
  delete m_Handle;
  m_Handle = nullptr;
}

int TqCriticalSection::enter(bool wait) { return m_Handle->enter(wait); }

void TqCriticalSection::leave() { m_Handle->leave(); }

TqCriticalSectionLock::TqCriticalSectionLock(TqCriticalSection* lock) : m_Lock(lock) {
  if (m_Lock) m_Lock->enter(true);
}

TqCriticalSectionLock::~TqCriticalSectionLock() {
  if (m_Lock) m_Lock->leave();
}

#include "version/CVFXPointer.h"

namespace ordvane {

IMPLEMENT_DYNAMIC(CVFXPointer, CObject)

CVFXPointer::~CVFXPointer() {
    if (m_owns != 0) {
        delete[] m_pointer;
        m_pointer = nullptr;
    }
}

void CVFXPointer::Set(BYTE* block) {
    // A block we do not own belongs to someone else; freeing it here would free it twice.
    if (m_owns != 0 && block != m_pointer) {
        delete[] m_pointer;
    }
    m_pointer = block;
}

}  // namespace ordvane

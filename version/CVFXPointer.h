#pragma once
// Holds one heap block (allocated with new[]) and, when it owns it, frees it on the way out, so
// a reader frees its version data on every return path.

#include "platform/CObject.h"
#include "platform/WinTypes.h"

namespace ordvane {

class CVFXPointer : public CObject {
    DECLARE_DYNAMIC(CVFXPointer)

public:
    CVFXPointer(BYTE* block, bool owns) : m_pointer(block), m_owns(owns ? 1 : 0) {}
    ~CVFXPointer() override;
    CVFXPointer(const CVFXPointer&) = delete;
    CVFXPointer& operator=(const CVFXPointer&) = delete;

    bool IsNull() const { return m_pointer == nullptr; }
    BYTE* Get() const { return m_pointer; }
    // Frees the block held before, when owned, and holds the new one.
    void Set(BYTE* block);

private:
    BYTE* m_pointer;
    BYTE m_owns;
};

}  // namespace ordvane

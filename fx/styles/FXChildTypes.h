#pragma once

// Helpers of the styles whose types name other FX types (spray, ring, combo,
// conditional): reaching a child type through the manager, and measuring durations
// through children without looping for ever on reference cycles.

#include <string>

class FXType;

// The type of a child name through FXManager::TypeFind (found, or loaded on first use).
// Null for an empty name, while no manager is running, or when the type cannot be had.
FXType* FXFindChildType(const std::string& name);

// Prepares the child type of a name through FXManager::TypePrepare; does nothing for an
// empty name or while no manager is running. The result is not reported: a child that
// cannot be had only means its instances will not be created.
void FXPrepareChildType(const std::string& name);

// Marks a type whose duration is being measured on this thread, for as long as the guard
// lives. A type measures its duration through its child types, and a child may lead
// back to it (a combo naming itself, A -> B -> A); a type met again while its own
// measurement is still running must answer 0 instead of recursing.
class FXDurationGuard {
public:
    explicit FXDurationGuard(const FXType* type);
    ~FXDurationGuard();
    FXDurationGuard(const FXDurationGuard&) = delete;
    FXDurationGuard& operator=(const FXDurationGuard&) = delete;

    // False when the type was already being measured further up the call chain.
    bool Entered() const { return m_entered; }

private:
    const FXType* m_type;
    bool m_entered;
};

#pragma once

// Root of every class of the image library. It carries no data; it gives the family one
// virtual destructor and a place for consistency checks.
class CPLObject {
public:
    virtual ~CPLObject();

    // Checks the object's invariants in debug builds; the root has none to check.
    virtual void AssertValid() const;

protected:
    CPLObject() = default;
    CPLObject(const CPLObject&) = default;
    CPLObject& operator=(const CPLObject&) = default;
};

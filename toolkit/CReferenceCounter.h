// SPDX-License-Identifier: GPL-3.0-or-later
// Shared ownership of toolkit objects: created with one reference; remember() adds one,
// forget() drops one and deletes the object when none is left. Views and bitmaps are
// handed around this way, as the editor's layout code expects.
#pragma once

#include <cstdint>

namespace VSTGUI {

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    void remember() { ++references; }
    void forget() {
        if (--references == 0) delete this;
    }
    int32_t getNbReference() const { return references; }

private:
    int32_t references = 1;
};

// Holds one reference for a scope: remembers at construction, forgets at destruction.
template <typename T>
class SharedRef {
public:
    explicit SharedRef(T* object) : object(object) {
        if (object) object->remember();
    }
    SharedRef(const SharedRef&) = delete;
    SharedRef& operator=(const SharedRef&) = delete;
    ~SharedRef() {
        if (object) object->forget();
    }
    T* get() const { return object; }
    T* operator->() const { return object; }

private:
    T* object;
};

} // namespace VSTGUI

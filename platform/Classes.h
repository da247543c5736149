#pragma once
// Object model of the class library: class info for ClassName/InheritsFrom
// and class references, and the root class.
#include "platform/Types.h"

class TObject;

// One record per class: its name, its parent and, for classes that can be
// created from a class reference, a factory.
struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    TObject* (*Create)();  // null for abstract classes
};

// Declares the class info of a class derived from Parent. Use inside the class.
#define VEK_DECLARE_CLASS(Name, Parent)                                       \
public:                                                                      \
    static const TClassInfo* StaticClassInfo()                               \
    {                                                                        \
        static const TClassInfo info{#Name, Parent::StaticClassInfo(), nullptr}; \
        return &info;                                                        \
    }                                                                        \
    const TClassInfo* ClassInfo() const override { return StaticClassInfo(); } \
                                                                             \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo* StaticClassInfo()
    {
        static const TClassInfo info{"TObject", nullptr, nullptr};
        return &info;
    }
    virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }

    String ClassName() const { return ClassInfo()->Name; }
    bool InheritsFrom(const TClassInfo* cls) const
    {
        for (const TClassInfo* c = ClassInfo(); c; c = c->Parent)
            if (c == cls)
                return true;
        return false;
    }
};

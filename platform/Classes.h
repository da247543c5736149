#pragma once
// Object model of the class library: class info for ClassName/InheritsFrom
// and class references, the root class, persistent objects, components with
// owners, collections and lists.
//
// Construction and destruction in two phases
// ------------------------------------------
// A C++ constructor cannot reach the overrides of a derived class, and a
// destructor runs after the derived parts are gone. Classes whose set-up
// calls virtual factories (a control creating its scroll bars through a
// virtual CreateScrollBar, say) do that work in AfterConstruction(), and are
// created through Create<T>(args...), which runs the constructor and then
// AfterConstruction(). A class created from its class reference
// (TClassInfo::CreateInstance, FindClass) goes the same way.
//
// Likewise every delete of a heap object runs the virtual
// BeforeDestruction() while the object is still whole, and only then the
// destructors (TObject has a destroying operator delete; Free() is the same
// as delete). TComponent frees its owned components there, so their
// destructors still see a complete owner. An object on the stack gets no
// BeforeDestruction; TComponent's destructor does the same work then, after
// the derived parts are gone. Keep TObject the first base of a class so its
// address is the address of the allocation.
#include <functional>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Types.h"

class TObject;

VEK_EXCEPTION_KIND(EClassNotFound, EStreamError)

// One record per class: its name, its parent and, for classes that can be
// created from a class reference, a factory.
struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    TObject* (*Create)();  // null for classes that cannot be created by reference

    bool InheritsFrom(const TClassInfo* Cls) const
    {
        for (const TClassInfo* c = this; c; c = c->Parent)
            if (c == Cls)
                return true;
        return false;
    }
    // A new instance, constructed and given its AfterConstruction. Throws
    // EInvalidOperation for a class without a factory.
    TObject* CreateInstance() const;
};

// A class reference, as the class-reference types of the class library.
using TClass = const TClassInfo*;

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

// As VEK_DECLARE_CLASS, for a class with a default constructor that can be
// created from its class reference (and, once registered, by name).
#define VEK_DECLARE_CREATABLE_CLASS(Name, Parent)                             \
public:                                                                      \
    static const TClassInfo* StaticClassInfo()                               \
    {                                                                        \
        static const TClassInfo info{#Name, Parent::StaticClassInfo(),       \
                                     +[]() -> TObject* { return new Name(); }}; \
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
        static const TClassInfo info{"TObject", nullptr, +[]() -> TObject* { return new TObject(); }};
        return &info;
    }
    virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }

    String ClassName() const { return ClassInfo()->Name; }
    TClass ClassType() const { return ClassInfo(); }
    TClass ClassParent() const { return ClassInfo()->Parent; }
    bool InheritsFrom(const TClassInfo* cls) const { return ClassInfo()->InheritsFrom(cls); }

    // Second phase of construction; see the note at the top of this file.
    virtual void AfterConstruction() {}
    // First phase of destruction, run by delete while the object is whole.
    virtual void BeforeDestruction() {}
    // The same as delete this.
    void Free() { delete this; }

    void operator delete(TObject* Obj, std::destroying_delete_t)
    {
        void* memory = dynamic_cast<void*>(Obj);
        Obj->BeforeDestruction();
        Obj->~TObject();
        ::operator delete(memory);
    }
};

// True when Obj is not null and of class T or a class derived from it.
template <class T>
bool Is(const TObject* Obj)
{
    return Obj && Obj->InheritsFrom(T::StaticClassInfo());
}

class TComponent;
// Tells the owners of Component, up the chain, that it joined (Inserted),
// then the other components its owner holds and, below them, what they hold.
void NotifyInserted(TComponent* Component);

// Constructs a T and runs its AfterConstruction; a component's owners then
// hear of it through Inserted, now that it has its class. If either throws,
// the object is freed and the exception goes on.
template <class T, class... Args>
T* Create(Args&&... args)
{
    T* obj = new T(std::forward<Args>(args)...);
    try {
        obj->AfterConstruction();
        if constexpr (std::is_base_of_v<TComponent, T>)
            NotifyInserted(obj);
    } catch (...) {
        delete obj;
        throw;
    }
    return obj;
}

template <class T>
void FreeAndNil(T*& Obj)
{
    T* p = Obj;
    Obj = nullptr;
    if (p)
        p->Free();
}

// Deleter for std::unique_ptr; plain delete does the same.
struct TObjectDeleter {
    void operator()(TObject* Obj) const
    {
        if (Obj)
            Obj->Free();
    }
};

// Registry of classes created by name (class names compare without regard to
// ASCII case). Registering a second class under a taken name replaces nothing
// and throws EInvalidOperation; registering the same class again is harmless.
void RegisterClass(TClass Cls);
void UnRegisterClass(TClass Cls);
TClass GetClass(const String& Name);   // null when not registered
TClass FindClass(const String& Name);  // throws EClassNotFound

// ---------------------------------------------------------------------------

class TPersistent : public TObject {
    VEK_DECLARE_CLASS(TPersistent, TObject)

public:
    // Copies Source into this object. The default asks Source to AssignTo
    // this, which fails with EConvertError unless a class knows how.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual TPersistent* GetOwner() { return nullptr; }
    [[noreturn]] void AssignError(TPersistent* Source);
};

// ---------------------------------------------------------------------------

class TComponent;

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

// A component belongs to its owner, which frees it (last inserted first), so
// a component with an owner lives on the heap.
// Whenever a component joins or leaves an owner, the owner hears of it in
// Notification, and passes the news on to all its components. Components with
// different owners that refer to each other call FreeNotification so that
// each hears when the other goes.
class TComponent : public TPersistent {
    VEK_DECLARE_CLASS(TComponent, TPersistent)

public:
    explicit TComponent(TComponent* AOwner);
    // Frees the owned components and leaves the owner, unless
    // BeforeDestruction has done so already.
    ~TComponent() override;

    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    const String& Name() const { return FName; }
    // Names are empty or identifiers, unique (ignoring ASCII case) among the
    // owner's components; EComponentError otherwise.
    virtual void SetName(const String& NewName);
    NativeInt Tag() const { return FTag; }
    void SetTag(NativeInt Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    int ComponentCount() const { return int(FComponents.size()); }
    // EListError for an index out of range.
    TComponent* Components(int Index) const;
    // Position in the owner's list; -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // Case-insensitive; null for an empty name or none found.
    TComponent* FindComponent(const String& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, last inserted first.
    void DestroyComponents();
    // Marks this component and all it owns as being destroyed.
    void Destroying();

    // AComponent will hear (Notification opRemove) when this one goes, and
    // the other way round.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called once loading has finished; clears csLoading. A form calls it on
    // its components and itself before OnCreate.
    virtual void Loaded();

protected:
    // Told, after Create<T> has made AComponent whole, that it joined this
    // component or one it owns, further down the chain (this one is among
    // AComponent's owners); or that it joined beside this one: AComponent's
    // owner holds this component, directly or through its owners. Unlike
    // Notification (opInsert), which comes from the constructor of
    // TComponent, it sees the new component's class.
    virtual void Inserted(TComponent* AComponent);
    friend void NotifyInserted(TComponent* Component);

    // Told when AComponent joins (opInsert) or leaves (opRemove) this
    // component's owner list, and when a component this one asked about is
    // freed. The default passes it on to all owned components. Overrides
    // clear their references on opRemove and call the inherited one.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    void Updating() { FComponentState.Include(csUpdating); }
    void Updated() { FComponentState.Exclude(csUpdating); }
    void SetDesigning(bool Value, bool SetChildren = true);

    TPersistent* GetOwner() override { return FOwner; }

    TComponentState FComponentState;

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void NotifyFreeNotifies();
    static void InsertedBeside(TComponent* Holder, TComponent* Component);
    void Dismantle();

    TComponent* FOwner = nullptr;
    String FName;
    NativeInt FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    bool FDestroyed = false;
};

// ---------------------------------------------------------------------------
// Lists of pointers, with the index checks of the class library.

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
    VEK_DECLARE_CREATABLE_CLASS(TList, TObject)

public:
    TList() = default;
    ~TList() override;

    int Count() const { return int(FItems.size()); }
    // Growing adds null items; shrinking deletes the ones past the end.
    void SetCount(int NewCount);
    int Capacity() const { return int(FItems.capacity()); }
    void SetCapacity(int NewCapacity);

    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Index of the removed item, -1 when absent.
    int Remove(void* Item);
    // Takes Item out without deleting it; null when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Clear();
    // Removes the null items.
    void Pack();
    // Stable sort by Compare (negative, zero, positive as for strcmp).
    void Sort(const std::function<int(void*, void*)>& Compare);

    std::vector<void*>::const_iterator begin() const { return FItems.begin(); }
    std::vector<void*>::const_iterator end() const { return FItems.end(); }

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    [[noreturn]] static void IndexError(int Index);
    void CheckIndex(int Index) const;

private:
    std::vector<void*> FItems;
};

// A list of objects that, while OwnsObjects, frees the objects it deletes,
// removes or clears, and those still held when it goes.
class TObjectList : public TList {
    VEK_DECLARE_CREATABLE_CLASS(TObjectList, TList)

public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
    void SetItems(int Index, TObject* Item) { TList::SetItems(Index, Item); }
    TObject* operator[](int Index) const { return Items(Index); }
    int Add(TObject* Item) { return TList::Add(Item); }
    void Insert(int Index, TObject* Item) { TList::Insert(Index, Item); }
    int Remove(TObject* Item) { return TList::Remove(Item); }
    TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
    int IndexOf(TObject* Item) const { return TList::IndexOf(Item); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};

// ---------------------------------------------------------------------------
// Collections: a list of items of one class, owned by the collection. An item
// created with a collection joins it at the end; freeing the item takes it
// out. Each item gets an ID on joining that never changes or repeats within
// the collection.

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    VEK_DECLARE_CLASS(TCollectionItem, TPersistent)

public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item from its collection (if any) to ACollection (if any).
    virtual void SetCollection(TCollection* ACollection);
    int Index() const;
    // Moves the item to position Value within its collection.
    virtual void SetIndex(int Value);
    int ID() const { return FID; }
    virtual String DisplayName() const;
    virtual void SetDisplayName(const String& Value);

protected:
    // Tells the collection the item changed (AllItems: the whole collection).
    void Changed(bool AllItems);
    TPersistent* GetOwner() override;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Makes a new, unattached item; Add puts it into the collection.
using TCollectionItemFactory = TCollectionItem* (*)();

template <class T>
TCollectionItem* CollectionItemFactory()
{
    return Create<T>(nullptr);
}

class TCollection : public TPersistent {
    VEK_DECLARE_CLASS(TCollection, TPersistent)

public:
    // ItemFactory makes the items Add and Insert create, usually
    // &CollectionItemFactory<TMyItem>. AOwner is what GetOwner answers.
    explicit TCollection(TCollectionItemFactory ItemFactory, TPersistent* AOwner = nullptr);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    // Frees the item at Index. EListError when out of range.
    void Delete(int Index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    // Null when no item has that ID.
    TCollectionItem* FindItemID(int ID) const;
    int UpdateCount() const { return FUpdateCount; }
    TPersistent* Owner() const { return FOwner; }

    // Changes within a BeginUpdate/EndUpdate bracket call Update once, at the
    // outermost EndUpdate, with a null item.
    virtual void BeginUpdate();
    virtual void EndUpdate();

    // Copies the items of another collection: clears this one and adds one
    // item per source item, assigning it from the source item.
    void Assign(TPersistent* Source) override;

protected:
    // Item changed, or (null) the whole collection did.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();
    TPersistent* GetOwner() override { return FOwner; }

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemFactory FItemFactory;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection whose Add/Items answer the item class T.
template <class T>
class TTypedCollection : public TCollection {
public:
    explicit TTypedCollection(TPersistent* AOwner = nullptr)
        : TCollection(&CollectionItemFactory<T>, AOwner) {}

    T* Add() { return static_cast<T*>(TCollection::Add()); }
    T* Insert(int Index) { return static_cast<T*>(TCollection::Insert(Index)); }
    T* Items(int Index) const { return static_cast<T*>(TCollection::Items(Index)); }
    T* operator[](int Index) const { return Items(Index); }
};

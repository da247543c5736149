#include "platform/Classes.h"

#include <algorithm>
#include <mutex>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Names of classes and components are identifiers, so ASCII case is all
// there is to fold.
bool SameName(const String& A, const String& B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (AsciiLower(A[i]) != AsciiLower(B[i]))
            return false;
    return true;
}

bool IsIdentStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsValidComponentName(const String& S)
{
    if (S.empty() || !IsIdentStart(S[0]))
        return false;
    for (char c : S)
        if (!IsIdentStart(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

struct TClassRegistry {
    std::mutex Lock;
    std::vector<TClass> Classes;
};

TClassRegistry& Registry()
{
    static TClassRegistry registry;
    return registry;
}

TClass FindRegistered(const std::vector<TClass>& Classes, const String& Name)
{
    for (TClass c : Classes)
        if (SameName(c->Name, Name))
            return c;
    return nullptr;
}

[[noreturn]] void ListIndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

// ---------------------------------------------------------------------------

TObject* TClassInfo::CreateInstance() const
{
    if (!Create)
        throw EInvalidOperation(String("Cannot create an instance of ") + Name);
    TObject* obj = Create();
    try {
        obj->AfterConstruction();
    } catch (...) {
        delete obj;
        throw;
    }
    return obj;
}

void RegisterClass(TClass Cls)
{
    if (!Cls)
        return;
    TClassRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    if (TClass existing = FindRegistered(r.Classes, Cls->Name)) {
        if (existing == Cls)
            return;
        throw EInvalidOperation(String("A class named ") + Cls->Name + " already exists");
    }
    r.Classes.push_back(Cls);
}

void UnRegisterClass(TClass Cls)
{
    TClassRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    r.Classes.erase(std::remove(r.Classes.begin(), r.Classes.end(), Cls), r.Classes.end());
}

TClass GetClass(const String& Name)
{
    TClassRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    return FindRegistered(r.Classes, Name);
}

TClass FindClass(const String& Name)
{
    if (TClass c = GetClass(Name))
        return c;
    throw EClassNotFound("Class " + Name + " not found");
}

// ---------------------------------------------------------------------------

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    const String from = Source ? Source->ClassName() : String("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

// ---------------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Dismantle();
}

void TComponent::BeforeDestruction()
{
    Dismantle();
}

void TComponent::Dismantle()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    Destroying();
    NotifyFreeNotifies();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::NotifyFreeNotifies()
{
    // Each partner leaves both lists before it hears, so an override that
    // does not call the inherited Notification cannot make this loop forever.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    FComponentState.Exclude(csFreeNotification);
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        // Only components that asked for notifications are announced; the
        // rest leave quietly, which keeps freeing a large owner linear.
        if (instance->FComponentState.Contains(csFreeNotification))
            RemoveComponent(instance);
        else
            Remove(instance);
        instance->Free();
    }
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        ListIndexError(Index);
    return FComponents[std::size_t(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!FOwner)
        return;
    const int cur = ComponentIndex();
    if (cur < 0)
        return;
    auto& list = FOwner->FComponents;
    Value = std::clamp(Value, 0, int(list.size()) - 1);
    if (Value == cur)
        return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const String& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameName(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidComponentName(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
    if (AComponent && !NewName.empty() && !SameName(CurName, NewName)) {
        TComponent* found = FindComponent(NewName);
        if (found && found != AComponent)
            throw EComponentError("A component named " + NewName + " already exists");
    }
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    for (TComponent* c = this; c; c = c->FOwner)
        if (c == AComponent)
            throw EComponentError("A component cannot own itself or its owner");
    ValidateRename(AComponent, String(), AComponent->FName);
    // A component has one owner: joining this one means leaving the last.
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    // The last one first: that is the order owners free in.
    auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (it != FComponents.rend())
        FComponents.erase(std::next(it).base());
    AComponent->FOwner = nullptr;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Components may leave while they hear of it; walk down and re-clamp.
    int i = ComponentCount() - 1;
    while (i >= 0) {
        FComponents[std::size_t(i)]->Notification(AComponent, Operation);
        --i;
        if (i >= ComponentCount())
            i = ComponentCount() - 1;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end())
        return;
    // The mark stays: a component on the same form may rely on it without
    // being in the list, and only the mark makes the owner announce this
    // component when it frees it.
    FFreeNotifies.erase(it);
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::Inserted(TComponent*) {}

void NotifyInserted(TComponent* Component)
{
    TComponent* owner = Component ? Component->Owner() : nullptr;
    for (TComponent* o = owner; o; o = o->Owner())
        o->Inserted(Component);
    // Then everything the owner holds beside it, and what those hold: a
    // component on a form hears what joins the form later, with its class.
    if (owner)
        TComponent::InsertedBeside(owner, Component);
}

void TComponent::InsertedBeside(TComponent* Holder, TComponent* Component)
{
    // Components may come and go while they hear of it: index, re-checked.
    for (std::size_t i = 0; i < Holder->FComponents.size(); ++i) {
        TComponent* c = Holder->FComponents[i];
        if (c == Component || c->FComponentState.Contains(csDestroying))
            continue;
        c->Inserted(Component);
        if (i < Holder->FComponents.size() && Holder->FComponents[i] == c)
            InsertedBeside(c, Component);
    }
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

// ---------------------------------------------------------------------------

TList::~TList()
{
    // Derived lists clear themselves in their own destructors, where their
    // Notify is still theirs; what is left here is only forgotten.
    FItems.clear();
}

void TList::IndexError(int Index)
{
    ListIndexError(Index);
}

void TList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        throw EListError("List count out of bounds (" + std::to_string(NewCount) + ")");
    if (NewCount > Count()) {
        FItems.resize(std::size_t(NewCount), nullptr);
        return;
    }
    for (int i = Count() - 1; i >= NewCount; --i)
        Delete(i);
}

void TList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < Count())
        throw EListError("List capacity out of bounds (" + std::to_string(NewCapacity) + ")");
    if (std::size_t(NewCapacity) > FItems.capacity())
        FItems.reserve(std::size_t(NewCapacity));
    else
        FItems.shrink_to_fit();
}

void* TList::Items(int Index) const
{
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TList::SetItems(int Index, void* Item)
{
    CheckIndex(Index);
    void* old = FItems[std::size_t(Index)];
    if (old == Item)
        return;
    FItems[std::size_t(Index)] = Item;
    if (old)
        Notify(old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

int TList::Add(void* Item)
{
    FItems.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        IndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index)
{
    CheckIndex(Index);
    void* item = FItems[std::size_t(Index)];
    FItems.erase(FItems.begin() + Index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* Item)
{
    const int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* Item)
{
    const int i = IndexOf(Item);
    if (i < 0)
        return nullptr;
    FItems.erase(FItems.begin() + i);
    if (Item)
        Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[std::size_t(Index1)], FItems[std::size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = FItems[std::size_t(CurIndex)];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Clear()
{
    SetCount(0);
    FItems.shrink_to_fit();
}

void TList::Pack()
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
}

void TList::Sort(const std::function<int(void*, void*)>& Compare)
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [&Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList()
{
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action)
{
    if (FOwnsObjects && Action == lnDeleted)
        static_cast<TObject*>(Ptr)->Free();
    TList::Notify(Ptr, Action);
}

// ---------------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* ACollection)
{
    if (ACollection)
        SetCollection(ACollection);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* ACollection)
{
    if (ACollection == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (ACollection)
        ACollection->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int cur = Index();
    if (cur < 0 || cur == Value)
        return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= int(items.size()))
        ListIndexError(Value);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

String TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const String&)
{
    Changed(false);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner()
{
    return FCollection;
}

TCollection::TCollection(TCollectionItemFactory ItemFactory, TPersistent* AOwner)
    : FItemFactory(ItemFactory), FOwner(AOwner)
{
}

TCollection::~TCollection()
{
    // No Update calls while going; the overrides are gone already.
    FUpdateCount = 1;
    Clear();
}

TCollectionItem* TCollection::Add()
{
    if (!FItemFactory)
        throw EInvalidOperation("Collection has no item class");
    TCollectionItem* item = FItemFactory();
    try {
        item->SetCollection(this);
    } catch (...) {
        delete item;
        throw;
    }
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        ListIndexError(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    // Out of the list while still whole, then freed.
    RemoveItem(item);
    item->Free();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            Delete(Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
    return FItems[std::size_t(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    Changed();
}

void TCollection::Assign(TPersistent* Source)
{
    if (!Is<TCollection>(Source)) {
        TPersistent::Assign(Source);
        return;
    }
    if (Source == this)
        return;
    auto* src = static_cast<TCollection*>(Source);
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : src->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    Notify(Item, cnExtracting);
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}

#include "platform/Classes.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<String> Log;

// ---------------------------------------------------------------------------
// Class info

class TShape : public TPersistent {
    VEK_DECLARE_CLASS(TShape, TPersistent)
public:
    int Sides = 0;
};

class TSquare : public TShape {
    VEK_DECLARE_CREATABLE_CLASS(TSquare, TShape)
public:
    void AfterConstruction() override { Sides = CountSides(); }
    virtual int CountSides() const { return 4; }
    void Assign(TPersistent* Source) override
    {
        if (auto* s = dynamic_cast<TSquare*>(Source))
            Sides = s->Sides;
        else
            TShape::Assign(Source);
    }
};

class TTinySquare : public TSquare {
    VEK_DECLARE_CREATABLE_CLASS(TTinySquare, TSquare)
public:
    int CountSides() const override { return 44; }
};

class TFailing : public TObject {
    VEK_DECLARE_CLASS(TFailing, TObject)
public:
    static inline int Alive = 0;
    TFailing() { ++Alive; }
    ~TFailing() override { --Alive; }
    void AfterConstruction() override { throw EAbort("no"); }
};

}  // namespace

TEST(ClassInfo, NamesAndAncestry)
{
    TTinySquare t;
    EXPECT_EQ(t.ClassName(), "TTinySquare");
    EXPECT_EQ(t.ClassParent(), TSquare::StaticClassInfo());
    EXPECT_TRUE(t.InheritsFrom(TShape::StaticClassInfo()));
    EXPECT_TRUE(t.InheritsFrom(TObject::StaticClassInfo()));
    EXPECT_TRUE(TTinySquare::StaticClassInfo()->InheritsFrom(TPersistent::StaticClassInfo()));
    EXPECT_FALSE(TSquare::StaticClassInfo()->InheritsFrom(TTinySquare::StaticClassInfo()));
    EXPECT_FALSE(t.InheritsFrom(TComponent::StaticClassInfo()));
    TObject* o = &t;
    EXPECT_TRUE(Is<TSquare>(o));
    EXPECT_FALSE(Is<TComponent>(o));
    EXPECT_FALSE(Is<TObject>(static_cast<TObject*>(nullptr)));
}

TEST(ClassInfo, CreationRunsTheSecondPhaseWithOverrides)
{
    std::unique_ptr<TTinySquare, TObjectDeleter> made(Create<TTinySquare>());
    EXPECT_EQ(made->Sides, 44);  // a constructor alone could not reach the override

    std::unique_ptr<TObject> byRef(TTinySquare::StaticClassInfo()->CreateInstance());
    ASSERT_TRUE(Is<TTinySquare>(byRef.get()));
    EXPECT_EQ(static_cast<TTinySquare*>(byRef.get())->Sides, 44);

    EXPECT_THROW(TShape::StaticClassInfo()->CreateInstance(), EInvalidOperation);

    EXPECT_THROW(Create<TFailing>(), EAbort);
    EXPECT_EQ(TFailing::Alive, 0);  // freed, not leaked
}

TEST(ClassInfo, RegistryFindsClassesByNameIgnoringCase)
{
    RegisterClass(TSquare::StaticClassInfo());
    RegisterClass(TSquare::StaticClassInfo());  // again: harmless
    RegisterClass(TTinySquare::StaticClassInfo());
    EXPECT_EQ(GetClass("TSquare"), TSquare::StaticClassInfo());
    EXPECT_EQ(GetClass("tsquare"), TSquare::StaticClassInfo());
    EXPECT_EQ(FindClass("TTINYSQUARE"), TTinySquare::StaticClassInfo());
    EXPECT_EQ(GetClass("TCircle"), nullptr);
    EXPECT_EQ(GetClass(""), nullptr);
    EXPECT_THROW(FindClass("TCircle"), EClassNotFound);

    std::unique_ptr<TObject> o(FindClass("ttinysquare")->CreateInstance());
    ASSERT_TRUE(o);
    EXPECT_EQ(o->ClassName(), "TTinySquare");

    UnRegisterClass(TTinySquare::StaticClassInfo());
    EXPECT_EQ(GetClass("TTinySquare"), nullptr);
    UnRegisterClass(TSquare::StaticClassInfo());
}

TEST(ClassInfo, ANameTakenByAnotherClassIsRefused)
{
    static const TClassInfo impostor{"TSquare", TObject::StaticClassInfo(), nullptr};
    RegisterClass(TSquare::StaticClassInfo());
    EXPECT_THROW(RegisterClass(&impostor), EInvalidOperation);
    EXPECT_EQ(GetClass("TSquare"), TSquare::StaticClassInfo());
    UnRegisterClass(TSquare::StaticClassInfo());
}

TEST(Persistent, AssignWithoutSupportFails)
{
    TSquare a, b;
    a.Sides = 7;
    b.Assign(&a);
    EXPECT_EQ(b.Sides, 7);

    TShape shape;
    try {
        shape.Assign(&a);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TSquare to a TShape");
    }
    try {
        a.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a nil to a TSquare");
    }
}

// ---------------------------------------------------------------------------
// Components

namespace {

class TLogged : public TComponent {
    VEK_DECLARE_CLASS(TLogged, TComponent)
public:
    TLogged(TComponent* AOwner, const String& AName) : TComponent(AOwner) { SetName(AName); }
    ~TLogged() override
    {
        Log.push_back("free " + Name() + (ComponentState().Contains(csDestroying) ? " destroying" : ""));
    }

    // A reference to another component that this one must forget when it goes.
    TComponent* Partner = nullptr;
    void Watch(TComponent* Other)
    {
        Partner = Other;
        if (Other)
            Other->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        Log.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
        if (Operation == opRemove && AComponent == Partner)
            Partner = nullptr;
        TComponent::Notification(AComponent, Operation);
    }
};

// Forgets to call the inherited Notification.
class TRude : public TComponent {
    VEK_DECLARE_CLASS(TRude, TComponent)
public:
    using TComponent::TComponent;
    int Heard = 0;

protected:
    void Notification(TComponent*, TOperation) override { ++Heard; }
};

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { Log.clear(); }
};

}  // namespace

TEST_F(ComponentTest, OwnerFreesItsComponentsLastFirst)
{
    auto* owner = new TLogged(nullptr, "Owner");
    auto* a = new TLogged(owner, "A");
    new TLogged(owner, "B");
    new TLogged(a, "A1");
    Log.clear();

    owner->Free();
    EXPECT_EQ(Log, (std::vector<String>{"free B destroying", "free A1 destroying",
                                        "free A destroying", "free Owner destroying"}));
}

TEST_F(ComponentTest, OwnerHearsOfEachComponentJoiningAndLeaving)
{
    TLogged owner(nullptr, "Owner");
    auto* a = new TLogged(&owner, "");
    a->SetName("A");
    auto* b = new TLogged(&owner, "B");
    Log.clear();

    // A component freed on its own leaves its owner, which tells all it
    // owns (the leaving one included, as it is still in the list).
    a->Free();
    EXPECT_EQ(Log, (std::vector<String>{"Owner -A", "B -A", "A -A", "free A destroying"}));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(owner.FindComponent("A"), nullptr);

    Log.clear();
    auto* c = new TLogged(nullptr, "C");
    owner.InsertComponent(c);
    EXPECT_EQ(Log, (std::vector<String>{"Owner +C", "C +C", "B +C"}));
    EXPECT_EQ(c->Owner(), &owner);

    // Deleting (rather than Free) still unhooks it.
    Log.clear();
    delete b;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), c);
}

TEST_F(ComponentTest, FreeNotificationAcrossOwners)
{
    TLogged formA(nullptr, "FormA");
    TLogged formB(nullptr, "FormB");
    auto* viewer = new TLogged(&formA, "Viewer");
    auto* source = new TLogged(&formB, "Source");
    viewer->Watch(source);
    EXPECT_TRUE(source->ComponentState().Contains(csFreeNotification));
    EXPECT_TRUE(viewer->ComponentState().Contains(csFreeNotification));
    Log.clear();

    source->Free();
    EXPECT_EQ(viewer->Partner, nullptr);
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Viewer -Source"), Log.end());
    // The mark outlives the partner: siblings may rely on it too.
    EXPECT_TRUE(viewer->ComponentState().Contains(csFreeNotification));

    // The other way round: the watcher goes first and the watched one must
    // not call it afterwards (the sanitizer build catches a stale call).
    auto* source2 = new TLogged(&formB, "Source2");
    viewer->Watch(source2);
    viewer->Free();
    Log.clear();
    source2->Free();
    EXPECT_EQ(Log, (std::vector<String>{"FormB -Source2", "Source2 -Source2", "free Source2 destroying"}));
}

TEST_F(ComponentTest, FreeNotificationsWhenTheOwnerGoes)
{
    auto* other = new TLogged(nullptr, "Other");
    auto* form = new TLogged(nullptr, "Form");
    auto* watched = new TLogged(form, "Watched");
    new TLogged(form, "Quiet");
    other->Watch(watched);
    Log.clear();

    form->Free();
    EXPECT_EQ(other->Partner, nullptr);
    // Quiet leaves without a broadcast; Watched, having asked for
    // notifications, is announced to the form and heard by Other.
    EXPECT_EQ(Log, (std::vector<String>{"free Quiet destroying", "Form -Watched", "Watched -Watched",
                                        "Other -Watched", "free Watched destroying",
                                        "free Form destroying"}));
    other->Free();
}

TEST_F(ComponentTest, DeleteReachesTheWholeOwner)
{
    // The owner's own Notification must still run while it frees its
    // components, also when it goes by delete (here through unique_ptr).
    auto form = std::make_unique<TLogged>(nullptr, "Form");
    auto* watched = new TLogged(form.get(), "Watched");
    auto* other = new TLogged(nullptr, "Other");
    other->Watch(watched);
    Log.clear();
    form.reset();
    EXPECT_EQ(Log.front(), "Form -Watched");
    EXPECT_EQ(Log.back(), "free Form destroying");
    EXPECT_EQ(other->Partner, nullptr);
    delete other;
}

TEST_F(ComponentTest, OverrideWithoutInheritedDoesNotHang)
{
    TComponent formA(nullptr);
    auto* rude = new TRude(&formA);
    auto* other = new TComponent(nullptr);
    rude->FreeNotification(other);
    other->Free();
    EXPECT_EQ(rude->Heard, 1);
    EXPECT_TRUE(rude->ComponentState().Contains(csFreeNotification));
}

// A watcher on the same form is not in the partner list; when a partner on
// another form lets go, the form must still announce the watched component
// as it frees it, or the watcher keeps a pointer to a freed component.
TEST_F(ComponentTest, SiblingWatcherHearsAfterAPartnerElsewhereLetGo)
{
    auto* formA = new TLogged(nullptr, "FormA");
    auto* formB = new TLogged(nullptr, "FormB");
    auto* sibling = new TLogged(formA, "Sibling");
    auto* watched = new TLogged(formA, "Watched");
    auto* viewer = new TLogged(formB, "Viewer");
    sibling->Watch(watched);
    viewer->Watch(watched);
    viewer->Free();
    EXPECT_TRUE(watched->ComponentState().Contains(csFreeNotification));
    Log.clear();
    formA->Free();
    const auto heard = std::find(Log.begin(), Log.end(), "Sibling -Watched");
    const auto freed = std::find(Log.begin(), Log.end(), "free Watched destroying");
    EXPECT_NE(heard, Log.end());
    EXPECT_LT(heard, freed) << "heard before the watched one was freed";
    formB->Free();
}

namespace {

// Frees the siblings it is given when it hears that the trigger leaves.
class TSiblingFreer : public TComponent {
    VEK_DECLARE_CLASS(TSiblingFreer, TComponent)
public:
    using TComponent::TComponent;
    TComponent* Trigger = nullptr;
    std::vector<TComponent*> Victims;
    int Heard = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        ++Heard;
        if (Operation == opRemove && AComponent == Trigger) {
            std::vector<TComponent*> victims;
            victims.swap(Victims);
            for (TComponent* v : victims)
                v->Free();
        }
        TComponent::Notification(AComponent, Operation);
    }
};

}  // namespace

TEST_F(ComponentTest, SiblingsFreedWhileTheOwnerTellsItsComponents)
{
    // The owner tells its components last first; one of them frees siblings
    // it has already passed and ones still to come. Nothing freed is told
    // anything (the sanitizer build catches a stale call), and every one
    // left hears of it.
    struct TCase {
        const char* Name;
        std::vector<int> Victims;  // indexes into the components below
    };
    // The last case leaves a freed component in the list's storage just past
    // its end, where an index that is not clamped again would read it.
    const TCase cases[] = {{"passed ones", {4, 5}}, {"ones to come", {1, 2}}, {"both, and more than are left", {1, 5, 4, 2}},
                           {"ones to come, then the last ones", {1, 2, 4, 5}}};
    for (const TCase& c : cases) {
        TComponent owner(nullptr);
        auto* trigger = new TComponent(&owner);
        std::vector<TSiblingFreer*> all;
        for (int i = 1; i <= 5; ++i)
            all.push_back(new TSiblingFreer(&owner));
        TSiblingFreer* freer = all[2];  // index 3 of the owner's list
        freer->Trigger = trigger;
        for (int v : c.Victims)
            freer->Victims.push_back(owner.Components(v));
        trigger->Free();
        std::vector<TComponent*> left;
        for (int i = 0; i < owner.ComponentCount(); ++i)
            left.push_back(owner.Components(i));
        EXPECT_EQ(left.size(), all.size() - c.Victims.size()) << c.Name;
        for (TComponent* l : left) {
            EXPECT_NE(l, trigger) << c.Name;
            EXPECT_GE(static_cast<TSiblingFreer*>(l)->Heard, 1) << c.Name;
        }
    }
}

TEST_F(ComponentTest, NamesAreUniqueIgnoringCase)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Button1");
    EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
    EXPECT_EQ(owner.FindComponent("button1"), a);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_EQ(owner.FindComponent("Button"), nullptr);

    EXPECT_THROW(b->SetName("bUTTON1"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    a->SetName("BUTTON1");  // its own name in another case is fine
    EXPECT_EQ(a->Name(), "BUTTON1");

    EXPECT_THROW(b->SetName("1st"), EComponentError);
    EXPECT_THROW(b->SetName("Has Space"), EComponentError);
    EXPECT_THROW(b->SetName("Ümlaut"), EComponentError);
    b->SetName("_ok_2");
    EXPECT_EQ(owner.FindComponent("_OK_2"), b);
    b->SetName("");
    EXPECT_EQ(owner.FindComponent("_ok_2"), nullptr);

    // A named newcomer may not clash either.
    auto* stray = new TComponent(nullptr);
    stray->SetName("button1");
    EXPECT_THROW(owner.InsertComponent(stray), EComponentError);
    EXPECT_EQ(stray->Owner(), nullptr);
    stray->Free();
}

TEST_F(ComponentTest, IndexesTagsAndOwnershipChanges)
{
    TComponent owner(nullptr);
    TComponent* c[3];
    for (auto& x : c)
        x = new TComponent(&owner);
    EXPECT_THROW(owner.Components(3), EListError);
    EXPECT_THROW(owner.Components(-1), EListError);

    c[0]->SetComponentIndex(2);
    EXPECT_EQ(owner.Components(2), c[0]);
    EXPECT_EQ(owner.Components(0), c[1]);
    c[0]->SetComponentIndex(-5);  // clamped
    EXPECT_EQ(owner.Components(0), c[0]);
    EXPECT_EQ(c[2]->ComponentIndex(), 2);

    // Moving to another owner leaves the first one.
    TComponent other(nullptr);
    other.InsertComponent(c[1]);
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(other.ComponentCount(), 1);
    EXPECT_EQ(c[1]->Owner(), &other);

    // No ownership cycles.
    auto* grandchild = new TComponent(c[1]);
    EXPECT_THROW(grandchild->InsertComponent(&other), EComponentError);
    EXPECT_THROW(c[1]->InsertComponent(c[1]), EComponentError);

    owner.RemoveComponent(c[2]);
    EXPECT_EQ(c[2]->Owner(), nullptr);
    owner.RemoveComponent(c[2]);  // not its owner any more: ignored
    c[2]->Free();
}

TEST_F(ComponentTest, LoadingAndDestroyingState)
{
    class TLoader : public TComponent {
    public:
        using TComponent::TComponent;
        void StartLoading() { FComponentState.Include(csLoading); }
    };
    TLoader c(nullptr);
    c.StartLoading();
    EXPECT_TRUE(c.ComponentState().Contains(csLoading));
    c.Loaded();
    EXPECT_TRUE(c.ComponentState().Empty());

    TComponent owner(nullptr);
    auto* child = new TComponent(&owner);
    auto* grandchild = new TComponent(child);
    owner.Destroying();
    EXPECT_TRUE(grandchild->ComponentState().Contains(csDestroying));
}

// ---------------------------------------------------------------------------
// Lists

namespace {

class TCounted : public TObject {
public:
    static inline int Alive = 0;
    TCounted() { ++Alive; }
    ~TCounted() override { --Alive; }
};

class TRecordingList : public TList {
public:
    std::vector<std::pair<void*, TListNotification>> Heard;

protected:
    void Notify(void* Ptr, TListNotification Action) override { Heard.emplace_back(Ptr, Action); }
};

}  // namespace

TEST(List, EditsAndIndexChecks)
{
    int v[5] = {};
    TRecordingList l;
    l.Add(&v[0]);
    l.Add(&v[1]);
    l.Insert(0, &v[2]);
    l.Insert(3, &v[3]);  // at the end is allowed
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l[0], &v[2]);
    EXPECT_EQ(l.Last(), &v[3]);
    EXPECT_THROW(l.Insert(5, &v[4]), EListError);
    EXPECT_THROW(l.Items(4), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Move(0, 4), EListError);

    l.Move(0, 3);  // v2 to the end
    EXPECT_EQ(l.IndexOf(&v[2]), 3);
    l.Exchange(0, 1);
    EXPECT_EQ(l[0], &v[1]);

    EXPECT_EQ(l.Remove(&v[4]), -1);
    EXPECT_EQ(l.Remove(&v[1]), 0);
    EXPECT_EQ(l.Extract(&v[3]), &v[3]);
    EXPECT_EQ(l.Extract(&v[3]), nullptr);
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l.Heard.back(), std::make_pair(static_cast<void*>(&v[3]), lnExtracted));

    l.SetCount(5);
    EXPECT_EQ(l[4], nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    l.Heard.clear();
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Heard.size(), 2u);
    EXPECT_EQ(l.Heard[0].second, lnDeleted);
    EXPECT_THROW(l.SetCount(-1), EListError);
    EXPECT_THROW(l.First(), EListError);
}

TEST(List, SortIsStable)
{
    int keys[] = {3, 1, 3, 2, 1};
    TList l;
    for (int& k : keys)
        l.Add(&k);
    l.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    std::vector<void*> order(l.begin(), l.end());
    EXPECT_EQ(order, (std::vector<void*>{&keys[1], &keys[4], &keys[3], &keys[0], &keys[2]}));
}

TEST(ObjectList, FreesWhatItOwns)
{
    TCounted::Alive = 0;
    {
        TObjectList l;
        for (int i = 0; i < 4; ++i)
            l.Add(new TCounted);
        EXPECT_EQ(TCounted::Alive, 4);
        l.Delete(0);
        EXPECT_EQ(TCounted::Alive, 3);
        l.Remove(l.Items(0));
        EXPECT_EQ(TCounted::Alive, 2);
        std::unique_ptr<TObject> kept(l.Extract(l.First()));
        EXPECT_EQ(TCounted::Alive, 2);
        l.SetItems(0, new TCounted);  // the replaced one is freed
        EXPECT_EQ(TCounted::Alive, 2);
        l.Add(new TCounted);
    }
    EXPECT_EQ(TCounted::Alive, 0);

    TCounted keep;
    {
        TObjectList view(false);
        view.Add(&keep);
        view.Delete(0);
        view.Add(&keep);
    }
    EXPECT_EQ(TCounted::Alive, 1);
}

// ---------------------------------------------------------------------------
// Collections

namespace {

class TColumn : public TCollectionItem {
    VEK_DECLARE_CLASS(TColumn, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    int Width = 0;
    void SetWidth(int Value)
    {
        Width = Value;
        Changed(false);
    }
    void Assign(TPersistent* Source) override
    {
        if (auto* c = dynamic_cast<TColumn*>(Source))
            Width = c->Width;
        else
            TCollectionItem::Assign(Source);
    }
};

class TColumns : public TTypedCollection<TColumn> {
public:
    std::vector<String> Events;

protected:
    void Update(TCollectionItem* Item) override
    {
        Events.push_back(Item ? "update " + std::to_string(Item->ID()) : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override
    {
        static const char* const names[] = {"added ", "extracting ", "deleting "};
        Events.push_back(names[Action] + std::to_string(Item->ID()));
    }
};

std::vector<int> Ids(const TCollection& c)
{
    std::vector<int> ids;
    for (int i = 0; i < c.Count(); ++i) {
        EXPECT_EQ(c.Items(i)->Index(), i);
        ids.push_back(c.Items(i)->ID());
    }
    return ids;
}

}  // namespace

TEST(Collection, DeletingAndMovingRenumbers)
{
    TColumns cols;
    for (int i = 0; i < 4; ++i)
        cols.Add()->Width = 10 * i;
    EXPECT_EQ(Ids(cols), (std::vector<int>{0, 1, 2, 3}));

    cols.Delete(1);
    EXPECT_EQ(Ids(cols), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(cols[1]->Width, 20);

    // IDs are never reused, even after the highest one goes.
    cols.Delete(2);
    EXPECT_EQ(cols.Add()->ID(), 4);
    EXPECT_EQ(Ids(cols), (std::vector<int>{0, 2, 4}));

    cols[2]->SetIndex(0);
    EXPECT_EQ(Ids(cols), (std::vector<int>{4, 0, 2}));
    cols[0]->SetIndex(2);
    EXPECT_EQ(Ids(cols), (std::vector<int>{0, 2, 4}));
    EXPECT_THROW(cols[0]->SetIndex(3), EListError);

    TColumn* inserted = cols.Insert(1);
    EXPECT_EQ(inserted->Index(), 1);
    EXPECT_EQ(Ids(cols), (std::vector<int>{0, 5, 2, 4}));
    EXPECT_EQ(cols.FindItemID(2), cols[2]);
    EXPECT_EQ(cols.FindItemID(1), nullptr);
    EXPECT_THROW(cols.Delete(4), EListError);
    EXPECT_THROW(cols.Insert(5), EListError);

    // An item freed directly leaves its collection.
    delete cols[0];
    EXPECT_EQ(Ids(cols), (std::vector<int>{5, 2, 4}));
}

TEST(Collection, NotificationsAndUpdateBrackets)
{
    TColumns cols;
    cols.Add();
    cols.Add();
    EXPECT_EQ(cols.Events, (std::vector<String>{"added 0", "update all", "added 1", "update all"}));

    cols.Events.clear();
    cols[1]->SetWidth(5);
    EXPECT_EQ(cols.Events, (std::vector<String>{"update 1"}));

    cols.Events.clear();
    cols.BeginUpdate();
    cols.BeginUpdate();
    cols[0]->SetWidth(1);
    cols.Add();
    cols.Delete(0);
    cols.EndUpdate();
    EXPECT_EQ(cols.Events, (std::vector<String>{"added 2", "deleting 0", "extracting 0"}));
    cols.EndUpdate();
    EXPECT_EQ(cols.Events.back(), "update all");
    EXPECT_EQ(cols.Events.size(), 4u);
    cols.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(cols.UpdateCount(), 0);

    cols.Events.clear();
    cols.Clear();
    EXPECT_EQ(cols.Count(), 0);
    EXPECT_EQ(cols.Events, (std::vector<String>{"deleting 2", "extracting 2", "deleting 1",
                                                "extracting 1", "update all"}));
}

TEST(Collection, ItemsMoveBetweenCollectionsAndAssign)
{
    TColumns a, b;
    a.Add()->Width = 1;
    a.Add()->Width = 2;
    TColumn* moving = a[0];
    moving->SetCollection(&b);
    EXPECT_EQ(a.Count(), 1);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(moving->Collection(), &b);
    EXPECT_EQ(moving->Index(), 0);

    auto* loose = new TColumn(nullptr);
    EXPECT_EQ(loose->Index(), -1);
    loose->SetCollection(&a);
    EXPECT_EQ(a.Count(), 2);
    loose->Width = 3;

    b.Assign(&a);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b[0]->Width, 2);
    EXPECT_EQ(b[1]->Width, 3);
    EXPECT_EQ(b[0]->Collection(), &b);
    b.Assign(&b);  // self: unchanged
    EXPECT_EQ(b.Count(), 2);

    TSquare notACollection;
    EXPECT_THROW(b.Assign(&notACollection), EConvertError);
    EXPECT_EQ(b[0]->DisplayName(), "TColumn");
}

TEST(Collection, FreesItsItems)
{
    struct TTracked : TCollectionItem {
        using TCollectionItem::TCollectionItem;
        ~TTracked() override { --TCounted::Alive; }
    };
    TCounted::Alive = 0;
    {
        TTypedCollection<TTracked> c;
        for (int i = 0; i < 3; ++i) {
            c.Add();
            ++TCounted::Alive;
        }
    }
    EXPECT_EQ(TCounted::Alive, 0);
}

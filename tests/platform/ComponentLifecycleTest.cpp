// What owners and forms learn of the components made in code: Inserted with
// the new component's class, and Loaded before the form's OnCreate.
#include <gtest/gtest.h>

#include "platform/Buttons.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Notes the class of every component that joins it or one of its own.
class TWatchingOwner : public TComponent {
public:
    explicit TWatchingOwner(TComponent* AOwner) : TComponent(AOwner) {}
    std::vector<String> Inserts;
    std::vector<String> Notified;

protected:
    void Inserted(TComponent* AComponent) override
    {
        Inserts.push_back(AComponent->ClassName() + (Is<TControl>(AComponent) ? " control" : ""));
        TComponent::Inserted(AComponent);
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opInsert)
            Notified.push_back(AComponent->ClassName());
        TComponent::Notification(AComponent, Operation);
    }
};

std::vector<String> LoadLog;

class TLoadedLabel : public TLabel {
public:
    explicit TLoadedLabel(TComponent* AOwner) : TLabel(AOwner) {}
    void Loaded() override
    {
        TLabel::Loaded();
        LoadLog.push_back("loaded " + Name());
    }
};

class TLoadedForm : public TForm {
public:
    explicit TLoadedForm(TComponent* AOwner) : TForm(AOwner)
    {
        Build<TLoadedLabel>(this, "First");
        Build<TLoadedLabel>(this, "Second");
        OnCreate = [](TObject*) { LoadLog.push_back("create"); };
    }
    void Loaded() override
    {
        TForm::Loaded();
        LoadLog.push_back("loaded form");
    }
};

}  // namespace

TEST(ComponentLifecycle, OwnersUpTheChainSeeTheNewComponentsClass)
{
    auto* top = Create<TWatchingOwner>(nullptr);
    auto* middle = Create<TWatchingOwner>(top);
    Create<TButton>(middle);
    Build<TLabel>(middle, "Caption1");
    EXPECT_EQ(middle->Inserts, (std::vector<String>{"TButton control", "TLabel control"}));
    EXPECT_EQ(top->Inserts, (std::vector<String>{"TComponent", "TButton control", "TLabel control"}));
    // The constructor's notification comes before the class is there.
    ASSERT_EQ(middle->Notified.size(), 2u);
    EXPECT_NE(middle->Notified[0], "TButton");
    delete top;
}

TEST(ComponentLifecycle, ComponentsBesideAndBelowHearOnceWhatJoinsTheirOwner)
{
    auto* form = Create<TWatchingOwner>(nullptr);
    auto* beside = Create<TWatchingOwner>(form);
    auto* below = Create<TWatchingOwner>(beside);
    Build<TLabel>(form, "Later");
    EXPECT_EQ(beside->Inserts, (std::vector<String>{"TComponent", "TLabel control"}));
    EXPECT_EQ(below->Inserts, (std::vector<String>{"TLabel control"}));
    // The owner hears it as its owner only; the newcomer does not hear itself.
    EXPECT_EQ(form->Inserts, (std::vector<String>{"TComponent", "TComponent", "TLabel control"}));
    auto* own = Create<TWatchingOwner>(form);
    EXPECT_TRUE(own->Inserts.empty());
    // What joins below is not news beside it.
    Create<TButton>(below);
    EXPECT_EQ(beside->Inserts.back(), "TButton control");
    EXPECT_EQ(own->Inserts.size(), 0u);
    delete form;
}

TEST(ComponentLifecycle, AFailedConstructionIsNotAnnounced)
{
    struct TFailing : TComponent {
        explicit TFailing(TComponent* AOwner) : TComponent(AOwner) {}
        void AfterConstruction() override { throw EInvalidOperation("no"); }
    };
    auto* owner = Create<TWatchingOwner>(nullptr);
    EXPECT_THROW(Create<TFailing>(owner), EInvalidOperation);
    EXPECT_TRUE(owner->Inserts.empty());
    EXPECT_EQ(owner->ComponentCount(), 0);
    delete owner;
}

TEST(ComponentLifecycle, AFormLoadsItsComponentsThenItselfBeforeOnCreate)
{
    EnsureApplication();
    LoadLog.clear();
    auto* f = Create<TLoadedForm>(nullptr);
    EXPECT_EQ(LoadLog, (std::vector<String>{"loaded First", "loaded Second", "loaded form", "create"}));
    EXPECT_FALSE(f->ComponentState().Contains(csLoading));
    delete f;
}

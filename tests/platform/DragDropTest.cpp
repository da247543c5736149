// Drag and drop of data: drop targets of windows hearing drags at screen
// points, the drag loop through its test hook, and files dropped on a form.
#include <gtest/gtest.h>

#include "platform/Buttons.h"
#include "platform/DragDrop.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

struct TCall {
    String What;
    TPoint Pt;
    int KeyState = 0;
    bool operator==(const TCall&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TCall& C)
{
    return Out << C.What << "(" << C.Pt.X << "," << C.Pt.Y << " keys " << C.KeyState << ")";
}

class TRecordingTarget : public IDropTarget {
public:
    std::vector<TCall> Calls;
    IDataObjectPtr Entered;
    IDataObjectPtr Dropped;
    int Answer = DROPEFFECT_COPY;
    int OfferedOnEnter = DROPEFFECT_NONE;

    HRESULT DragEnter(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) override
    {
        Calls.push_back({"enter", Pt, KeyState});
        Entered = DataObject;
        OfferedOnEnter = Effect;
        Effect &= Answer;
        return S_OK;
    }
    HRESULT DragOver(int KeyState, TPoint Pt, int& Effect) override
    {
        Calls.push_back({"over", Pt, KeyState});
        Effect &= Answer;
        return S_OK;
    }
    HRESULT DragLeave() override
    {
        Calls.push_back({"leave", {}, 0});
        return S_OK;
    }
    HRESULT Drop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) override
    {
        Calls.push_back({"drop", Pt, KeyState});
        Dropped = DataObject;
        Effect &= Answer;
        return S_OK;
    }
};

class TNoData : public IDataObject {
public:
    std::vector<TFormatEtc> EnumFormatEtc() override { return {}; }
    HRESULT QueryGetData(const TFormatEtc&) override { return DV_E_FORMATETC; }
    HRESULT GetData(const TFormatEtc&, TStream&) override { return DV_E_FORMATETC; }
};

// A shown form at (100, 50) with a panel (windowed) holding a button.
struct TDropForm {
    TForm* Form = Create<TForm>(nullptr);
    TPanel* Panel = Create<TPanel>(Form);
    TButton* Button = Create<TButton>(Form);

    TDropForm()
    {
        EnsureApplication();
        Form->SetBounds(100, 50, 400, 300);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 200, 150);
        Button->SetParent(Panel);
        Button->SetBounds(20, 20, 80, 25);
        Form->Show();
    }
    TDropForm(const TDropForm&) = delete;
    TDropForm& operator=(const TDropForm&) = delete;
    ~TDropForm() { delete Form; }

    TPoint InPanel(int X, int Y) const { return Panel->ClientToScreen({X, Y}); }
};

}  // namespace

TEST(DragDrop, ATargetHearsEnterOverLeaveAndDropAtScreenPoints)
{
    TDropForm f;
    auto target = std::make_shared<TRecordingTarget>();
    ASSERT_EQ(RegisterDragDrop(f.Panel->Handle(), target), S_OK);
    auto data = std::make_shared<TNoData>();
    {
        TDragSimulation drag(data, DROPEFFECT_COPY | DROPEFFECT_MOVE);
        EXPECT_EQ(drag.Move(f.InPanel(150, 100), MK_LBUTTON | MK_SHIFT), DROPEFFECT_COPY);
        EXPECT_EQ(drag.Move(f.InPanel(160, 110)), DROPEFFECT_COPY);
        // Over the button, which has no target of its own: still the panel's.
        EXPECT_EQ(drag.Move(f.InPanel(30, 30)), DROPEFFECT_COPY);
        // Out of the panel, onto the form that takes nothing.
        EXPECT_EQ(drag.Move(f.Form->ClientToScreen({300, 250})), DROPEFFECT_NONE);
        EXPECT_EQ(drag.Move(f.InPanel(5, 5)), DROPEFFECT_COPY);
        EXPECT_EQ(drag.Drop(f.InPanel(6, 7), MK_CONTROL), DROPEFFECT_COPY);
    }
    const std::vector<TCall> expected = {
        {"enter", f.InPanel(150, 100), MK_LBUTTON | MK_SHIFT},
        {"over", f.InPanel(160, 110), MK_LBUTTON},
        {"over", f.InPanel(30, 30), MK_LBUTTON},
        {"leave", {}, 0},
        {"enter", f.InPanel(5, 5), MK_LBUTTON},
        {"over", f.InPanel(6, 7), MK_LBUTTON | MK_CONTROL},
        {"drop", f.InPanel(6, 7), MK_CONTROL},
    };
    EXPECT_EQ(target->Calls, expected);
    EXPECT_EQ(target->OfferedOnEnter, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(target->Entered, data);
    EXPECT_EQ(target->Dropped, data);
    EXPECT_EQ(RevokeDragDrop(f.Panel->Handle()), S_OK);
}

TEST(DragDrop, ARefusingTargetGetsNoDropAndARevokedOneNothing)
{
    TDropForm f;
    auto target = std::make_shared<TRecordingTarget>();
    target->Answer = DROPEFFECT_NONE;
    ASSERT_EQ(RegisterDragDrop(f.Panel->Handle(), target), S_OK);
    EXPECT_EQ(RegisterDragDrop(f.Panel->Handle(), target), DRAGDROP_E_ALREADYREGISTERED);
    {
        TDragSimulation drag(std::make_shared<TNoData>());
        EXPECT_EQ(drag.Move(f.InPanel(50, 50)), DROPEFFECT_NONE);
        EXPECT_EQ(drag.Drop(f.InPanel(60, 60)), DROPEFFECT_NONE);
    }
    ASSERT_EQ(target->Calls.size(), 3u);
    EXPECT_EQ(target->Calls.back().What, "leave");

    ASSERT_EQ(RevokeDragDrop(f.Panel->Handle()), S_OK);
    EXPECT_EQ(RevokeDragDrop(f.Panel->Handle()), DRAGDROP_E_NOTREGISTERED);
    target->Calls.clear();
    target->Answer = DROPEFFECT_COPY;
    {
        TDragSimulation drag(std::make_shared<TNoData>());
        EXPECT_EQ(drag.Move(f.InPanel(50, 50)), DROPEFFECT_NONE);
        EXPECT_EQ(drag.Drop(f.InPanel(50, 50)), DROPEFFECT_NONE);
    }
    EXPECT_TRUE(target->Calls.empty());
    // And it can be registered again.
    EXPECT_EQ(RegisterDragDrop(f.Panel->Handle(), target), S_OK);
    EXPECT_EQ(RevokeDragDrop(f.Panel->Handle()), S_OK);
}

TEST(DragDrop, TheDragLoopHookDeliversTheSourcesObject)
{
    TDropForm f;
    auto target = std::make_shared<TRecordingTarget>();
    target->Answer = DROPEFFECT_MOVE;
    ASSERT_EQ(RegisterDragDrop(f.Panel->Handle(), target), S_OK);
    auto data = std::make_shared<TNoData>();
    int offered = 0;
    SetDragLoopHook([&](const IDataObjectPtr& Data, int OkEffects) {
        offered = OkEffects;
        TDragSimulation drag(Data, OkEffects);
        drag.Move(f.InPanel(40, 40));
        return drag.Drop(f.InPanel(41, 41));
    });
    int effect = -1;
    EXPECT_EQ(DoDragDrop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(offered, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(target->Dropped, data);

    // A target that takes only what the source does not allow: cancelled.
    target->Answer = DROPEFFECT_LINK;
    EXPECT_EQ(DoDragDrop(data, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    SetDragLoopHook(nullptr);
    EXPECT_EQ(RevokeDragDrop(f.Panel->Handle()), S_OK);
}

TEST(DragDrop, FilesDroppedOnAFormStillArrive)
{
    TDropForm f;
    std::vector<String> got;
    f.Form->OnDropFiles = [&](TObject*, const std::vector<String>& Files) { got = Files; };
    f.Form->DragAcceptFiles(true);
    // A drop target on the panel does not take the rest of the form's drops.
    auto target = std::make_shared<TRecordingTarget>();
    ASSERT_EQ(RegisterDragDrop(f.Panel->Handle(), target), S_OK);
    {
        TDragSimulation drag(std::vector<String>{"/tmp/a plan.vek", "/tmp/b.vek"});
        EXPECT_EQ(drag.Drop(f.Form->ClientToScreen({300, 250})), DROPEFFECT_COPY);
    }
    EXPECT_EQ(got, (std::vector<String>{"/tmp/a plan.vek", "/tmp/b.vek"}));
    EXPECT_TRUE(target->Calls.empty());
    // Revoking the panel's target keeps the form taking files.
    ASSERT_EQ(RevokeDragDrop(f.Panel->Handle()), S_OK);
    got.clear();
    {
        TDragSimulation drag(std::vector<String>{"/tmp/c.vek"});
        drag.Drop(f.InPanel(150, 100));
    }
    EXPECT_EQ(got, std::vector<String>{"/tmp/c.vek"});
}

// The system's drag loop on an X server of the test's own: a press starts
// DoDragDrop, the pointer (moved by xdotool) carries the data to a window
// with a drop target, and the release drops it there.
#include <gtest/gtest.h>

#include <QWidget>
#include <QWindow>

#include <cstdlib>

#include "platform/DragDrop.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "tests/platform/FixedDataObject.h"
#include "tests/platform/XServer.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TCountingTarget : public IDropTarget {
public:
    int Enters = 0;
    int Overs = 0;
    IDataObjectPtr Dropped;
    TPoint DropPoint;

    HRESULT DragEnter(const IDataObjectPtr&, int, TPoint, int& Effect) override
    {
        ++Enters;
        Effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(int, TPoint, int& Effect) override
    {
        ++Overs;
        Effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(const IDataObjectPtr& DataObject, int, TPoint Pt, int& Effect) override
    {
        Dropped = DataObject;
        DropPoint = Pt;
        Effect &= DROPEFFECT_COPY;
        return S_OK;
    }
};

}  // namespace

TEST(DragPeer, DragsWithTheSystemsLoop)
{
    if (!std::getenv("VEK_DRAG_PEER"))
        GTEST_SKIP() << "runs inside DragDrop.TheSystemsLoopCarriesTheDataToATarget";
    EnsureApplication();
    TForm* form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
    auto* source = Create<TPanel>(form);
    source->SetParent(form);
    source->SetBounds(10, 10, 100, 100);
    auto* panel = Create<TPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(200, 10, 150, 150);
    auto data = std::make_shared<TFixedDataObject>();
    data->Data[CF_UNICODETEXT] = std::string("x\0\0\0", 4);
    HRESULT result = E_FAIL;
    int effect = -1;
    bool done = false;
    source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        result = DoDragDrop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        done = true;
    };
    form->Show();
    auto target = std::make_shared<TCountingTarget>();
    ASSERT_EQ(RegisterDragDrop(panel->Handle(), target), S_OK);
    ASSERT_TRUE(ProcessEventsUntil([&] { return form->Host()->windowHandle() &&
                                                form->Host()->windowHandle()->isExposed(); }, 20000));
    ASSERT_TRUE(QProcess::startDetached("xdotool", {"mousemove", "60", "60", "mousedown", "1", "sleep", "0.5",
                                                     "mousemove", "100", "100", "sleep", "0.3", "mousemove", "250", "80",
                                                     "sleep", "0.3", "mousemove", "260", "90", "sleep", "0.3", "mouseup",
                                                     "1"}));
    ASSERT_TRUE(ProcessEventsUntil([&] { return done; }, 30000));
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target->Enters, 1);
    EXPECT_GE(target->Overs, 1);
    EXPECT_EQ(target->Dropped, data);
    EXPECT_EQ(target->DropPoint, TPoint(260, 90));
    RevokeDragDrop(panel->Handle());
    delete form;
}

TEST(DragDrop, TheSystemsLoopCarriesTheDataToATarget)
{
    EnsureApplication();
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "no xdotool to move the pointer";
    const TXServer server;
    if (!server.Running())
        GTEST_SKIP() << "no X server for the drag";
    QProcessEnvironment env;
    env.insert("VEK_DRAG_PEER", "1");
    QProcess peer;
    server.StartPeer(peer, "DragPeer.DragsWithTheSystemsLoop", env);
    ASSERT_TRUE(peer.waitForFinished(120000));
    const QByteArray output = peer.readAll();
    EXPECT_EQ(peer.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

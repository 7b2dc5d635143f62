// The view's panes: "Одно окно" is the window as it always was, "Четыре
// окна" adds the captioned top, front and side views, a pane maximises and
// comes back, and the layout is there again after a restart.
#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include "Camera.h"
#include "EditorFixture.h"
#include "MapEdits.h"
#include "OrthoViewPane.h"
#include "QtText.h"
#include "ViewLayout.h"

namespace {

using ViewLayoutTest = apptest::EditorFixture;

TEST_F(ViewLayoutTest, FourPanesAreCaptionedMaximiseAndAreKeptAcrossARestart)
{
    ViewLayout& views = *w()->Views;
    ASSERT_FALSE(views.FourPanes()) << "one view by default";
    EXPECT_EQ(w()->Scene->size(), views.size()) << "the 3D view fills the panes' place, no caption";
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(views.OrthoPane(i)->isVisible());

    w()->findChild<QAction*>("FourViews1")->trigger();
    QTest::qWait(20);
    QStringList captions;
    for (QLabel* label : views.findChildren<QLabel*>())
        if (label->isVisible())
            captions << label->text();
    captions.sort();
    QStringList expected{"3D", Ui("Сверху"), Ui("Спереди"), Ui("Сбоку")};
    expected.sort();
    EXPECT_EQ(captions, expected);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(views.OrthoPane(i)->isVisible());
        EXPECT_GT(views.OrthoPane(i)->width(), 32);
    }
    EXPECT_LT(w()->Scene->width(), views.width());

    // The top view's caption, double-clicked, gives it the whole place;
    // again, and all four are back.
    QLabel* topCaption = nullptr;
    for (QLabel* label : views.findChildren<QLabel*>())
        if (label->text() == Ui("Сверху"))
            topCaption = label;
    ASSERT_NE(topCaption, nullptr);
    QTest::mouseDClick(topCaption, Qt::LeftButton);
    EXPECT_EQ(views.Maximised(), 1);
    EXPECT_FALSE(w()->Scene->isVisible());
    EXPECT_FALSE(views.OrthoPane(1)->isVisible());
    QTest::mouseDClick(topCaption, Qt::LeftButton);
    EXPECT_EQ(views.Maximised(), -1);
    EXPECT_TRUE(w()->Scene->isVisible());

    // Ctrl+Space maximises the pane under the mouse, the key hook
    // notwithstanding.
    // (A pane in sight: at scale 2 the window is larger than the screen.)
    int target = 0;
    QPoint at = w()->Scene->mapToGlobal(w()->Scene->rect().center());
    for (int i = 2; i >= 0; --i) {
        const QPoint centre = views.OrthoPane(i)->mapToGlobal(views.OrthoPane(i)->rect().center());
        if (views.screen()->geometry().contains(centre)) {
            target = i + 1;
            at = centre;
            break;
        }
    }
    QCursor::setPos(at);
    QTest::keyClick(w()->ObjectList, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(views.Maximised(), target);
    QTest::keyClick(w()->ObjectList, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(views.Maximised(), -1);

    // The 2D views zoom about the mouse, each on its own.
    const double zoom = views.OrthoPane(0)->View().zoom;
    QWheelEvent wheel(QPointF(20, 20), views.OrthoPane(0)->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(views.OrthoPane(0), &wheel);
    EXPECT_GT(views.OrthoPane(0)->View().zoom, zoom);
    EXPECT_EQ(views.OrthoPane(1)->View().zoom, zoom) << "views are not linked";

    StartEditor();
    EXPECT_TRUE(w()->Views->FourPanes()) << "the layout is kept";
    EXPECT_TRUE(w()->findChild<QAction*>("FourViews1")->isChecked());
    w()->findChild<QAction*>("OneView1")->trigger();
    EXPECT_FALSE(w()->Views->OrthoPane(0)->isVisible());
}

}  // namespace

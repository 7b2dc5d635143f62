#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "EditorDocument.h"
#include "EditorState.h"
#include "MapNavigator.h"
#include "NumberField.h"
#include "Messages.h"
#include "NumberText.h"
#include "ObjectSettings.h"
#include "QtText.h"

namespace {

class NavigatorTest : public ::testing::Test {
protected:
    qxtest::ScopedEditorDocument editor_;
    void SetUp() override
    {
        previousSeparator_ = DecimalSeparator();
        nav_ = std::make_unique<TFNavigator>();
    }
    void TearDown() override
    {
        nav_.reset();
        SetDecimalSeparator(previousSeparator_);
    }
    // The whole text at once, as a paste does (typing runs the handler on
    // every prefix as well).
    void Type(QLineEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }

    std::unique_ptr<TFNavigator> nav_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink sink_{messages_};
    char previousSeparator_ = '.';
};

TEST_F(NavigatorTest, LayoutAndDesignTexts)
{
    EXPECT_EQ(nav_->windowTitle(), Ui("Навигатор"));
    EXPECT_EQ(nav_->size(), QSize(168, 93));
    EXPECT_EQ(nav_->Ex->text(), "0,1");
    EXPECT_EQ(nav_->E3dx->text(), "8");
    EXPECT_EQ(nav_->E3dz->text(), "1");
    EXPECT_EQ(nav_->objectName(), "FNavigator");
}

TEST_F(NavigatorTest, GridFieldsSetTheirAxesWithTheUsersYAndZSwapped)
{
    SetDecimalSeparator(',');
    Type(nav_->Ex, "0,25");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.25f);
    Type(nav_->Ey, "2");
    EXPECT_FLOAT_EQ(Editor().GridStepZ, 2.0f) << "Ey is the horizontal depth axis";
    EXPECT_FLOAT_EQ(Editor().GridStepY, 0.5f);
    Type(nav_->Ez, "3");
    EXPECT_FLOAT_EQ(Editor().GridStepY, 3.0f) << "Ez is the vertical axis";
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(NavigatorTest, SmallEmptyAndInvalidStepsLeaveTheStep)
{
    SetDecimalSeparator(',');
    Type(nav_->Ex, "0,3");
    Type(nav_->Ex, "0,1");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.1f);
    Type(nav_->Ex, "0,05");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.1f);
    EXPECT_TRUE(messages_.entries.empty());
    nav_->Ex->clear();
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.1f);
    EXPECT_TRUE(nav_->Ex->text().isEmpty());

    Type(nav_->Ex, "-1");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 0.1f);
    messages_.entries.clear();
    // No number: marked at once, reported once when the field is finished.
    Type(nav_->Ey, "x");
    EXPECT_TRUE(FieldMarked(nav_->Ey));
    EXPECT_TRUE(messages_.entries.empty());
    Editor().KeysEnabled = Editor().SwallowKeys = false;  // keys reach the navigator
    QTest::keyClick(nav_->Ey, Qt::Key_Return);
    QTest::keyClick(nav_->Ey, Qt::Key_Return);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].text, "Could not convert variant of type (String) into type (Double)");
    EXPECT_FLOAT_EQ(Editor().GridStepZ, 0.5f);
}

TEST_F(NavigatorTest, PointSeparatorIsAcceptedToo)
{
    SetDecimalSeparator('.');
    Type(nav_->Ez, "1.5");
    EXPECT_FLOAT_EQ(Editor().GridStepY, 1.5f);
}

TEST_F(NavigatorTest, ExForcesLowerCase)
{
    // Typing reaches the navigator when the main window is not active.
    Editor().KeysEnabled = Editor().SwallowKeys = false;
    nav_->Ex->clear();
    QTest::keyClicks(nav_->Ex, "1E1");
    EXPECT_EQ(nav_->Ex->text(), "1e1");
    EXPECT_FLOAT_EQ(Editor().GridStepX, 10.0f);
    // "1e" on the way is the beginning of a number: typing goes on.
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(NavigatorTest, OpacityValueFollowsActivation)
{
    TFOPos settings;
    EXPECT_EQ(nav_->AlphaBlendValue(), 255);
    nav_->FormDeactivate();
    settings.FormDeactivate();
    EXPECT_EQ(nav_->AlphaBlendValue(), 155);
    EXPECT_EQ(settings.AlphaBlendValue(), 155);
    nav_->FormActivate();
    EXPECT_EQ(nav_->AlphaBlendValue(), 255);
}

}  // namespace

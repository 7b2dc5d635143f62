// The texture window's flows, driven through its widgets (Qt Test) and its
// handlers, with a real GL context for the registrations and a temporary
// program folder holding the texture library.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "AskObjectName.h"
#include "Errors.h"
#include "GlTestContext.h"
#include "ImageTestSupport.h"
#include "Messages.h"
#include "QtText.h"
#include "TestSupport.h"
#include "Textures.h"
#include "DocTreeView.h"
#include "TextureWindow.h"
#include "TreeWidgetAccess.h"

namespace {

namespace fs = std::filesystem;

class TextureWindowTest : public qxtest::GlTest {
protected:
    void SetUp() override
    {
        qxtest::GlTest::SetUp();
        ResetTextures();
        fs::create_directories(dir_ / "Sys/Saves/textures");
        qxtest::WriteFileBytes(dir_ / "Sys/Saves/textures/NoTexture.bmp", qxtest::MakeBmp(2, 2, qxtest::Pattern));
        window_ = std::make_unique<TFTexture>();
        window_->ProgramFolder = dir_.path().string() + "/";
        qx::DocTree& tree = window_->Tree();
        tree.SetIcons(tree.AppendChild(-1, Cp("+ Стандартные текстуры")), 3, 4);
        tree.AppendChild(-1, Cp("+ Текстуры"));
        window_->ShowTree();
        standard_ = window_->View().ItemOf(0);
        user_ = window_->View().ItemOf(1);
        ObjectNameHooks() = {};
    }
    void TearDown() override
    {
        ObjectNameHooks() = {};
        window_.reset();
        qxtest::GlTest::TearDown();
    }
    // A picture in the library folder, named as the design path gives it.
    std::string Library(const std::string& name, uint32_t side = 4)
    {
        qxtest::WriteFileBytes(dir_ / "Sys/Saves/textures" / name, qxtest::MakeBmp(side, side, qxtest::Pattern));
        return dir_.path().string() + "/Sys\\Saves\\textures\\" + name;
    }
    // A node added to the window's tree, as the tree shows it.
    QTreeWidgetItem* Add(QTreeWidgetItem* parent, const std::string& text)
    {
        const int index = window_->Tree().AppendChild(window_->View().IndexOf(parent), text);
        window_->ShowTree();
        return window_->View().ItemOf(index);
    }
    void Remove(QTreeWidgetItem* item)
    {
        window_->Tree().Remove(window_->View().IndexOf(item));
        window_->ShowTree();
    }
    void Select(QTreeWidgetItem* item)
    {
        window_->TreeView1->clearSelection();
        if (item != nullptr)
            item->setSelected(true);
    }
    static std::vector<std::string> Children(QTreeWidgetItem* item)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts.push_back(NodeText(item->child(i)));
        return texts;
    }

    qxtest::TempDir dir_;
    qx::RecordingMessageSink messages_;
    qx::ScopedMessageSink scoped_{messages_};
    std::unique_ptr<TFTexture> window_;
    QTreeWidgetItem* standard_ = nullptr;
    QTreeWidgetItem* user_ = nullptr;
};

TEST_F(TextureWindowTest, LayoutAndTheShowAllButton)
{
    TFTexture& w = *window_;
    EXPECT_EQ(w.windowTitle(), Ui("Текстура"));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.Image1->geometry(), QRect(0, 0, 128, 128));
    EXPECT_EQ(w.Button4->geometry(), QRect(0, 134, 128, 25));
    EXPECT_EQ(w.TreeView1->geometry(), QRect(134, 0, 319, 329));
    EXPECT_EQ(w.CheckBox1->geometry(), QRect(134, 335, 319, 17));
    EXPECT_EQ(w.Button1->geometry(), QRect(144, 358, 309, 25));
    EXPECT_EQ(w.TreeView1->indentation(), 35);
    EXPECT_EQ(w.Doc().SelectedTexture, 0);
    EXPECT_FALSE(w.CheckBox1->isChecked());
    EXPECT_EQ(w.CheckBox1->text(), Ui("Прозрачный цвет (1,MaxHeight) (левый нижний угол)"));
    EXPECT_EQ(w.Button1->text(), Ui("Добавить текстуру"));

    w.show();
    EXPECT_EQ(w.size(), QSize(128, 159));
    EXPECT_FALSE(w.TreeView1->isVisible());
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    EXPECT_EQ(w.Button4->text(), Ui("< Скрыть все"));
    EXPECT_TRUE(w.TreeView1->isVisible() && w.Button1->isVisible() && w.CheckBox1->isVisible());
    EXPECT_EQ(w.size(), QSize(453, 383));
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    EXPECT_EQ(w.Button4->text(), Ui("Показать все >"));
    EXPECT_FALSE(w.TreeView1->isVisible() || w.Button1->isVisible() || w.CheckBox1->isVisible());
    EXPECT_EQ(w.size(), QSize(128, 159));

    QStringList items;
    for (QAction* a : w.PopupMenu1->actions())
        items << a->objectName() + ":" + a->text();
    EXPECT_EQ(items, QStringList({"N3:" + Ui("Добавить категорию"), "N4:" + Ui("Удалить категорию"), "N5:",
                                  "N2:" + Ui("Загрузить текстуру"), "N1:" + Ui("Удалить текстуру")}));
}

TEST_F(TextureWindowTest, OpenDialogFilterKeepsTheDesignsDescriptionsAndPatterns)
{
    EXPECT_EQ(qx::TextureFileFilter(),
              Ui("Все поддерживаемые форматыl (*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf) (*.gif *.jpg *.jpeg *.bmp "
                 "*.png);;GIF изображения (*.gif) (*.gif);;JPEG изображения (*.jpg) (*.jpg);;JPEG изображения (*.jpeg) "
                 "(*.jpeg);;Точечный рисунок (*.bmp) (*.bmp);;PNG изображения (*.png) (*.png)"));
}

TEST_F(TextureWindowTest, AddTextureEntryListsUnderTheFirstCategoryOrBesideTheSelectedNode)
{
    const int32_t grid = window_->AddTextureEntry(Library("Setka.bmp"), false);
    const int32_t cross = window_->AddTextureEntry(Library("CurCenter.bmp"), true);
    EXPECT_EQ(grid, 0);
    EXPECT_EQ(cross, 1);
    EXPECT_EQ(window_->Doc().SelectedTexture, 1);
    ASSERT_EQ(Children(standard_), (std::vector<std::string>{"Setka.bmp", "CurCenter.bmp"}));
    EXPECT_EQ(NodeIcon(standard_->child(0)), 10);
    EXPECT_EQ(standard_->child(0)->data(0, NodeSelectedIconRole).toInt(), 10);
    EXPECT_TRUE(window_->TreeView1->selectedItems().isEmpty());
    EXPECT_TRUE(standard_->isExpanded());

    Select(standard_->child(0));  // a texture node: the new one joins its level
    window_->AddTextureEntry(Library("wall.bmp"), false);
    EXPECT_EQ(Children(standard_).back(), "wall.bmp");
    Select(user_);
    window_->AddTextureEntry(Library("sky.bmp"), false);
    EXPECT_EQ(Children(user_), std::vector<std::string>{"sky.bmp"});
}

TEST_F(TextureWindowTest, KeyedPreviewLeavesOutTheBottomLeftColour)
{
    window_->AddTextureEntry(Library("CurCenter.bmp"), true);
    QImage shown = window_->Image1->pixmap().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(128, 128));
    EXPECT_EQ(qAlpha(shown.pixel(2, 125)), 0) << "bottom-left colour";
    const QImage& picture = window_->PreviewPicture();
    EXPECT_EQ(picture.size(), QSize(4, 4));
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF,
              QRgb((qxtest::Pattern(0, 0).r << 16) | (qxtest::Pattern(0, 0).g << 8) | qxtest::Pattern(0, 0).b));

    window_->AddTextureEntry(Library("Setka.bmp"), false);
    shown = window_->Image1->pixmap().toImage();
    EXPECT_EQ(qAlpha(shown.pixel(2, 125)), 255);
}

TEST_F(TextureWindowTest, UnreadablePictureIsStillListed)
{
    qxtest::WriteFileBytes(dir_ / "Sys/Saves/textures/broken.png", "not a png");
    window_->AddTextureEntry(Library("shown.bmp"), true);
    window_->AddTextureEntry(dir_.path().string() + "/Sys\\Saves\\textures\\broken.png", false);
    EXPECT_EQ(Children(standard_), (std::vector<std::string>{"shown.bmp", "broken.png"}));
    // Not the previous picture under the new entry.
    EXPECT_TRUE(window_->PreviewPicture().isNull());
    EXPECT_TRUE(window_->Image1->pixmap().isNull());
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].caption, "PNG Unit");
}

TEST_F(TextureWindowTest, ClickingNodesSelectsByNameAndPreviews)
{
    window_->show();
    window_->Button4Click();
    window_->AddTextureEntry(Library("Setka.bmp"), false);
    window_->AddTextureEntry(Library("Setka.bmp"), false);
    window_->AddTextureEntry(Library("CurCenter.bmp"), true);
    QTreeWidget* tree = window_->TreeView1;
    tree->expandAll();

    const auto click = [&](QTreeWidgetItem* item) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    };
    click(standard_->child(0));
    EXPECT_EQ(window_->Doc().SelectedTexture, 1) << "the last entry of that name";
    click(user_);
    EXPECT_EQ(window_->Doc().SelectedTexture, -1);
    EXPECT_EQ(window_->PreviewPicture().size(), QSize(2, 2)) << "NoTexture.bmp";
    click(standard_->child(2));
    EXPECT_EQ(window_->Doc().SelectedTexture, 2);
    EXPECT_EQ(qAlpha(window_->Image1->pixmap().toImage().pixel(2, 125)), 0);

    fs::remove(dir_ / "Sys/Saves/textures/NoTexture.bmp");
    Select(user_);
    EXPECT_THROW(window_->TreeView1Click(), qx::Error);
}

TEST_F(TextureWindowTest, AddingAFileCopiesItIntoTheLibraryWithoutPlusSigns)
{
    fs::create_directories(dir_ / "Pics");
    qxtest::WriteFileBytes(dir_ / "Pics/a+b.bmp", qxtest::MakeBmp(4, 4, qxtest::Pattern));
    window_->ChooseFile = [&] { return QString::fromStdString((dir_ / "Pics/a+b.bmp").string()); };
    window_->CheckBox1->setChecked(true);
    Select(user_);
    window_->Button1Click();
    EXPECT_TRUE(fs::exists(dir_ / "Sys/Saves/textures/ab.bmp"));
    ASSERT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[0], "ab.bmp");
    EXPECT_TRUE(window_->Doc().TextureTable.TextureKeyed[0]);
    EXPECT_NE(window_->Doc().TextureTable.TextureIds[0], 0u);
    EXPECT_EQ(window_->Doc().SelectedTexture, 0);
    EXPECT_EQ(Children(user_), std::vector<std::string>{"ab.bmp"});
    EXPECT_EQ(window_->TreeView1->currentItem(), user_->child(0)) << "the new texture is current, in sight";
    EXPECT_TRUE(user_->isExpanded());

    // The menu's "load texture" does the same; a cancelled dialog nothing.
    window_->ChooseFile = [] { return QString(); };
    window_->PopupMenu1->findChild<QAction*>("N2")->trigger();
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 1);
}

TEST_F(TextureWindowTest, DeletingATextureRemovesTheOneTheNodeNames)
{
    window_->AddTextureEntry(Library("a.bmp"), false);
    window_->AddTextureEntry(Library("b.bmp"), false);
    window_->AddTextureEntry(Library("c.bmp"), false);
    // Listed as b, a: node "a.bmp" is the second child but registry index 0.
    Remove(standard_->child(0));
    Add(standard_, "a.bmp");
    ASSERT_EQ(Children(standard_), (std::vector<std::string>{"b.bmp", "c.bmp", "a.bmp"}));
    Select(standard_->child(2));
    window_->N1Click();
    ASSERT_EQ(window_->Doc().TextureTable.TextureCount, 2);
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[0], "b.bmp");
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[1], "c.bmp");
    EXPECT_EQ(Children(standard_), (std::vector<std::string>{"b.bmp", "c.bmp"}));

    Add(standard_, "unknown.bmp");
    Select(standard_->child(2));
    window_->N1Click();
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 2);
    EXPECT_EQ(Children(standard_).size(), 2u);

    // The selection follows its texture down when an earlier entry goes.
    window_->Doc().SelectedTexture = 1;  // c.bmp
    Select(standard_->child(0));   // b.bmp, index 0
    window_->N1Click();
    EXPECT_EQ(window_->Doc().SelectedTexture, 0);
    ASSERT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[0], "c.bmp");

    // With one texture left the registry refuses, and the node stays.
    Select(standard_->child(0));
    window_->N1Click();
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    EXPECT_EQ(Children(standard_), std::vector<std::string>{"c.bmp"});
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].caption, Cp("Ошибка удаления текстуры"));

    // A category is not a texture: this command leaves it and its contents.
    Select(standard_);
    window_->N1Click();
    EXPECT_EQ(window_->TreeView1->topLevelItemCount(), 2);
    EXPECT_EQ(standard_->childCount(), 1);

    // Removing the selected texture leaves no selection.
    window_->AddTextureEntry(Library("d.bmp"), false);
    ASSERT_EQ(window_->Doc().SelectedTexture, 1);
    Select(standard_->child(1));
    window_->N1Click();
    EXPECT_EQ(window_->Doc().SelectedTexture, -1);

    Select(nullptr);
    window_->N1Click();  // nothing selected: nothing happens
}

TEST_F(TextureWindowTest, AddingCategoriesAsksForANameWithTheKeysReleased)
{
    std::vector<bool> keyFlags;
    std::vector<std::string> existing;
    std::optional<QString> answer = Ui("my_stone wall");
    ObjectNameHooks().SetKeyFlags = [&](bool on) { keyFlags.push_back(on); };
    ObjectNameHooks().IsObjectName = [&](const std::string& name) {
        return std::find(existing.begin(), existing.end(), name) != existing.end();
    };
    QString askedCaption, askedPrompt, askedText;
    ObjectNameHooks().InputText = [&](const QString& caption, const QString& prompt, const QString& text) {
        askedCaption = caption;
        askedPrompt = prompt;
        askedText = text;
        return answer;
    };

    Select(standard_);
    window_->N3Click();
    EXPECT_EQ(askedCaption, Ui("Добавление объекта"));
    EXPECT_EQ(askedPrompt, Ui("Введите имя:"));
    EXPECT_EQ(askedText, Ui("ИмяОбъекта"));
    EXPECT_EQ(keyFlags, (std::vector<bool>{false, true}));
    ASSERT_EQ(Children(standard_), std::vector<std::string>{"+ mystonewall"});
    EXPECT_EQ(NodeIcon(standard_->child(0)), 3);
    EXPECT_EQ(standard_->child(0)->data(0, NodeSelectedIconRole).toInt(), 4);

    answer.reset();  // cancelled: the default name
    Select(user_);
    window_->N3Click();
    EXPECT_EQ(Children(user_), std::vector<std::string>{Cp("+ ИмяОбъекта")});

    existing.push_back(Cp("_ИмяОбъекта"));
    window_->N3Click();
    EXPECT_EQ(user_->childCount(), 1) << "the name of a scene object gives nothing";

    answer = Ui("Side");
    Select(standard_->child(0));  // a category inside a category
    window_->N3Click();
    EXPECT_EQ(NodeText(standard_->child(0)->child(0)), "+ Side");
}

TEST_F(TextureWindowTest, DeletingCategoriesProtectsTheTwoStandardOnesAndAsksWhenNotEmpty)
{
    Select(user_);
    window_->N4Click();
    Select(standard_);
    window_->N4Click();
    EXPECT_EQ(window_->TreeView1->topLevelItemCount(), 2);

    QTreeWidgetItem* empty = Add(user_, "+ Empty");
    Select(empty);
    window_->N4Click();
    EXPECT_EQ(user_->childCount(), 0);
    EXPECT_TRUE(messages_.entries.empty());

    QTreeWidgetItem* full = Add(nullptr, "+ Full");
    Add(full, "x.bmp");
    messages_.answer = false;
    Select(full);
    window_->N4Click();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_TRUE(messages_.entries[0].question);
    EXPECT_EQ(messages_.entries[0].text, Cp("Категория не пустая!\rПродолжить удаление?"));
    EXPECT_EQ(window_->TreeView1->topLevelItemCount(), 3);
    messages_.answer = true;
    window_->N4Click();
    EXPECT_EQ(window_->TreeView1->topLevelItemCount(), 2);

    QTreeWidgetItem* texture = Add(user_, "t.bmp");
    Select(texture);
    window_->N4Click();  // not a category
    EXPECT_EQ(user_->childCount(), 1);
}

}  // namespace

namespace {

// Adding a file never costs the library a file.
TEST_F(TextureWindowTest, AddingTheLibrarysOwnFileRegistersItWithoutCopying)
{
    const std::string own = Library("own.bmp");
    const std::string bytes = qxtest::ReadFileBytes(dir_ / "Sys/Saves/textures/own.bmp");
    window_->ChooseFile = [&] { return QString::fromStdString((dir_ / "Sys/Saves/textures/own.bmp").string()); };
    window_->Button1Click();
    EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Sys/Saves/textures/own.bmp"), bytes);
    ASSERT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[0], "own.bmp");
    EXPECT_NE(window_->Doc().TextureTable.TextureIds[0], 0u);
    EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(TextureWindowTest, ADifferentPictureOfALibraryNameAsksBeforeReplacing)
{
    Library("stone.bmp", 4);
    const std::string kept = qxtest::ReadFileBytes(dir_ / "Sys/Saves/textures/stone.bmp");
    fs::create_directories(dir_ / "Pics");
    qxtest::WriteFileBytes(dir_ / "Pics/stone.bmp", qxtest::MakeBmp(8, 8, qxtest::Pattern));
    window_->ChooseFile = [&] { return QString::fromStdString((dir_ / "Pics/stone.bmp").string()); };

    messages_.answer = false;
    window_->Button1Click();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_TRUE(messages_.entries[0].question);
    EXPECT_EQ(messages_.entries[0].text, Cp("Текстура stone.bmp уже есть в библиотеке. Заменить?"));
    EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Sys/Saves/textures/stone.bmp"), kept);
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 0);

    messages_.answer = true;
    window_->Button1Click();
    EXPECT_EQ(qxtest::ReadFileBytes(dir_ / "Sys/Saves/textures/stone.bmp"),
              qxtest::ReadFileBytes(dir_ / "Pics/stone.bmp"));
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    // No temporaries are left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "Sys/Saves/textures"), fs::directory_iterator()), 2);
}

TEST_F(TextureWindowTest, AFailedCopyShowsWhyAndLeavesTheLibraryAsItWas)
{
    // A folder where the copy would go: the rename into place fails.
    fs::create_directories(dir_ / "Sys/Saves/textures/busy.bmp");
    fs::create_directories(dir_ / "Pics");
    qxtest::WriteFileBytes(dir_ / "Pics/busy.bmp", qxtest::MakeBmp(4, 4, qxtest::Pattern));
    window_->ChooseFile = [&] { return QString::fromStdString((dir_ / "Pics/busy.bmp").string()); };
    window_->Button1Click();
    ASSERT_EQ(messages_.entries.size(), 2u);  // replace? yes; then why it failed
    EXPECT_EQ(messages_.entries[1].text.rfind(Cp("Не удалось скопировать текстуру busy.bmp в библиотеку: "), 0), 0u);
    EXPECT_TRUE(fs::is_directory(dir_ / "Sys/Saves/textures/busy.bmp"));
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "Sys/Saves/textures"), fs::directory_iterator()), 2);
}

// Folder names stay in the file system's encoding; only the design's names
// are 1251, and a picture whose name has no 1251 form is refused.
TEST_F(TextureWindowTest, WorksInAFolderNamedOutsideCodePage1251)
{
    const fs::path program = dir_ / "josé 雪";
    fs::create_directories(program / "Sys/Saves/textures");
    fs::create_directories(program / "Pics");
    qxtest::WriteFileBytes(program / "Sys/Saves/textures/NoTexture.bmp", qxtest::MakeBmp(2, 2, qxtest::Pattern));
    qxtest::WriteFileBytes(program / "Pics/камень.bmp", qxtest::MakeBmp(4, 4, qxtest::Pattern));
    window_->ProgramFolder = program.string() + "/";
    window_->ChooseFile = [&] { return QString::fromStdString((program / "Pics/камень.bmp").string()); };
    window_->Button1Click();
    ASSERT_EQ(window_->Doc().TextureTable.TextureCount, 1);
    EXPECT_EQ(window_->Doc().TextureTable.TextureNames[0], Cp("камень.bmp"));
    EXPECT_NE(window_->Doc().TextureTable.TextureIds[0], 0u);
    EXPECT_TRUE(fs::exists(program / "Sys/Saves/textures/камень.bmp"));
    Select(standard_->child(0));
    window_->TreeView1Click();
    EXPECT_EQ(window_->PreviewPicture().size(), QSize(4, 4));
    Select(user_);
    window_->TreeView1Click();
    EXPECT_EQ(window_->PreviewPicture().size(), QSize(2, 2));
    EXPECT_TRUE(messages_.entries.empty());

    qxtest::WriteFileBytes(program / "Pics/雪.png", "png");
    window_->ChooseFile = [&] { return QString::fromStdString((program / "Pics/雪.png").string()); };
    window_->Button1Click();
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_NE(messages_.entries[0].text.find(Cp("кодировке 1251")), std::string::npos);
    EXPECT_FALSE(fs::exists(program / "Sys/Saves/textures/雪.png"));
    EXPECT_EQ(window_->Doc().TextureTable.TextureCount, 1);
}

}  // namespace

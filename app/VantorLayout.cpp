// The main window's controls as the design lays them out: the top panel,
// the trees on the left, the object view's panels, the menus and the status
// bar.
#include "Vantor.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Camera.h"
#include "DocTreeView.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "NumberText.h"
#include "EditHistory.h"
#include "QtText.h"
#include "SceneSurface.h"

namespace {

QTreeWidget* MakeTree(QWidget* parent, const char* name, int indent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setIndentation(indent);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setIconSize(QSize(24, 24));
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    return tree;
}

QSlider* MakeTrackBar(QWidget* parent, const char* name)
{
    auto* bar = new QSlider(Qt::Vertical, parent);
    bar->setObjectName(name);
    bar->setRange(1, 200);
    bar->setValue(10);
    bar->setTickPosition(QSlider::NoTicks);
    bar->setInvertedAppearance(true);  // minimum at the top, as the design draws it
    return bar;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* utf8Caption)
{
    auto* button = new QPushButton(Ui(utf8Caption), parent);
    button->setObjectName(name);
    return button;
}

QAction* AddItem(QMenu* menu, const char* name, const char* utf8Caption)
{
    QAction* action = menu->addAction(Ui(utf8Caption));
    action->setObjectName(name);
    return action;
}

}  // namespace

void TFVantor::BuildTopPanel(QWidget* parent)
{
    Panel3 = new QWidget(parent);
    Panel3->setObjectName("Panel3");
    Panel3->setFixedHeight(108);
    auto* row = new QHBoxLayout(Panel3);
    row->setContentsMargins(4, 2, 4, 2);

    auto* camera = new QGroupBox(Ui("Камера"), Panel3);
    camera->setObjectName("GroupBox1");
    auto* cameraColumn = new QVBoxLayout(camera);
    RadioButton4 = new QRadioButton(Ui("Редактирование"), camera);
    RadioButton4->setObjectName("RadioButton4");
    RadioButton4->setChecked(true);
    RadioButton5 = new QRadioButton(Ui("Полет по карте"), camera);
    RadioButton5->setObjectName("RadioButton5");
    cameraColumn->addWidget(RadioButton4);
    cameraColumn->addWidget(RadioButton5);
    row->addWidget(camera);

    auto* options = new QGroupBox(Ui("Опции отображнния"), Panel3);
    options->setObjectName("GroupBox2");
    auto* optionsColumn = new QVBoxLayout(options);
    optionsColumn->setContentsMargins(2, 2, 2, 2);
    Ch1 = new QListWidget(options);
    Ch1->setObjectName("Ch1");
    Ch1->setSortingEnabled(true);
    // The frame loop reads the options every frame; keep their items.
    for (int i = 0; i < 5; ++i) {
        auto* item = new QListWidgetItem(Ui(DisplayOptionTexts[i]), Ch1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        Frame.options[i] = item;
    }
    Ch1->setMinimumWidth(280);
    optionsColumn->addWidget(Ch1);
    row->addWidget(options);

    auto* tools = new QGroupBox(Ui("Инструменты и гаджеты"), Panel3);
    tools->setObjectName("GroupBox3");
    auto* toolsColumn = new QVBoxLayout(tools);
    CheckBox1 = new QCheckBox(Ui("Экспериментальное влючение света"), tools);
    CheckBox1->setObjectName("CheckBox1");
    toolsColumn->addWidget(CheckBox1);
    toolsColumn->addStretch();
    row->addWidget(tools);

    BitBtn1 = MakeButton(Panel3, "BitBtn1", "");
    BitBtn1->setFixedSize(119, 50);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    row->addWidget(BitBtn1);
    row->addStretch();
}

void TFVantor::BuildLeftSide(QSplitter* body)
{
    auto* left = new QWidget(body);
    auto* leftRow = new QHBoxLayout(left);
    leftRow->setContentsMargins(0, 0, 0, 0);
    leftRow->setSpacing(0);
    BuildLeftPanel(left);
    leftRow->addWidget(Panel1);
    CamVerhBar = MakeTrackBar(left, "CamVerhBar");
    CamZoom = MakeTrackBar(left, "CamZoom");
    leftRow->addWidget(CamVerhBar);
    leftRow->addWidget(CamZoom);
    body->addWidget(left);
}

void TFVantor::BuildLeftPanel(QWidget* parent)
{
    Panel1 = new QWidget(parent);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(232);
    auto* column = new QVBoxLayout(Panel1);
    column->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Vertical, Panel1);
    split->setObjectName("Splitter1");
    MapList = MakeTree(split, "MapList", 27);
    ObjectList = MakeTree(split, "ObjectList", 35);
    MapTreeView = new DocTreeView(MapList, &Editor().MapTree);
    ObjectTreeView = new DocTreeView(ObjectList, &Editor().ObjectTree);
    split->addWidget(MapList);
    split->addWidget(ObjectList);
    split->setSizes({136, 400});
    column->addWidget(split);
}

void TFVantor::BuildModelPanels(QWidget* parent)
{
    ModelList = new QWidget(parent);
    ModelList->setObjectName("ModelList");
    ModelList->setFixedWidth(210);
    auto* column = new QVBoxLayout(ModelList);
    column->setContentsMargins(2, 2, 2, 2);
    BitBtn2 = MakeButton(ModelList, "BitBtn2", "Сохранить изменения");
    BitBtn3 = MakeButton(ModelList, "BitBtn3", "Выход без сохранения");
    Button3 = MakeButton(ModelList, "Button3", "Авто создание коллизий");
    Button3->setEnabled(false);
    Button3->setVisible(false);
    column->addWidget(BitBtn2);
    column->addWidget(BitBtn3);
    column->addWidget(Button3);
    ModelAdd = new QGroupBox(Ui("Редактирование объекта"), ModelList);
    ModelAdd->setObjectName("ModelAdd");
    auto* grid = new QGridLayout(ModelAdd);
    struct NamedButton {
        const char* name;
        const char* caption;
    };
    const NamedButton buttons[] = {{"Button4", "Мышка"},      {"Button17", "Пол"},   {"Button18", "Стена"},
                                  {"Button19", "Коробка"},   {"Button20", "Сфера"}, {"Button5", "Торус"},
                                  {"Button28", "+ Blender"}, {"Button27", "+ 3DS"}};
    for (int i = 0; i < 8; ++i)
        grid->addWidget(MakeButton(ModelAdd, buttons[i].name, buttons[i].caption), i / 2, i % 2);
    Button4 = ModelAdd->findChild<QPushButton*>("Button4");
    Button17 = ModelAdd->findChild<QPushButton*>("Button17");
    Button18 = ModelAdd->findChild<QPushButton*>("Button18");
    Button19 = ModelAdd->findChild<QPushButton*>("Button19");
    Button20 = ModelAdd->findChild<QPushButton*>("Button20");
    Button5 = ModelAdd->findChild<QPushButton*>("Button5");
    Button27 = ModelAdd->findChild<QPushButton*>("Button27");
    Button28 = ModelAdd->findChild<QPushButton*>("Button28");
    column->addWidget(ModelAdd);
    OBJList = MakeTree(ModelList, "OBJList", 27);
    column->addWidget(OBJList, 1);
    ModelList->setVisible(false);

    ModelTimeLine = new QWidget(parent);
    ModelTimeLine->setObjectName("ModelTimeLine");
    ModelTimeLine->setFixedHeight(42);
    auto* row = new QHBoxLayout(ModelTimeLine);
    line = new QSlider(Qt::Horizontal, ModelTimeLine);
    line->setObjectName("line");
    line->setRange(0, 0);
    row->addWidget(line, 1);
    for (const char* caption : {"+", "-"}) {
        auto* b = MakeButton(ModelTimeLine, caption[0] == '+' ? "Button1" : "Button2", caption);
        b->setEnabled(false);
        row->addWidget(b);
    }
    ModelTimeLine->setVisible(false);
}

void TFVantor::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* game = bar->addMenu(Ui("Игра"));
    game->setObjectName("Game1");
    AddItem(game, "Load1", "Загрузить проект");
    game->addSeparator();
    AddItem(game, "Save1", "Сохранить проект");
    game->addSeparator();
    QAction* exit = AddItem(game, "Exit1", "Выход");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    AddItem(PopupMenu1, "N33", "Параметры");
    AddItem(PopupMenu1, "N35", "Модель");
    PopupMenu1->addSeparator();
    QMenu* add = PopupMenu1->addMenu(Ui("Добавить"));
    add->setObjectName("N3");
    AddItem(add, "N4", "Статический");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, "N36", "Переименовать");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, "N37", "Удалить");

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName("PopupMenu3");
    AddItem(PopupMenu3, "N39", "Удалить");
    AddItem(PopupMenu3, "N40", "Изменить");

    auto popupOn = [this](QTreeWidget* tree, QMenu* menu) {
        connect(tree, &QWidget::customContextMenuRequested, this, [tree, menu](const QPoint& at) {
            if (!menu->isEmpty())
                menu->popup(tree->viewport()->mapToGlobal(at));
        });
    };
    popupOn(ObjectList, PopupMenu1);
    popupOn(MapList, PopupMenu2);
    popupOn(OBJList, PopupMenu3);
}

void TFVantor::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(bar);
        StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
        StatusPanels[i]->setFixedWidth(200);
        bar->addWidget(StatusPanels[i]);
    }
    StatusMessage = new QLabel(bar);
    StatusMessage->setObjectName("StatusPanel4");
    bar->addWidget(StatusMessage, 1);
}

QListWidgetItem* TFVantor::DisplayOption(const char* utf8Text) const
{
    auto found = Ch1->findItems(Ui(utf8Text), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

bool TFVantor::DisplayOptionChecked(const char* utf8Text) const
{
    QListWidgetItem* item = DisplayOption(utf8Text);
    return item && item->checkState() == Qt::Checked;
}


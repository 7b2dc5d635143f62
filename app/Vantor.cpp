#include "Vantor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Camera.h"
#include "DocTreeView.h"
#include "EditorState.h"
#include "FrameTimer.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "NumberText.h"
#include "EditHistory.h"
#include "QtText.h"
#include "LoadSession.h"
#include "SceneSurface.h"
#include "OrthoViewPane.h"
#include "ViewLayout.h"


TFVantor::TFVantor(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("FVantor");
    setWindowTitle(Ui("QX FPS Vantor"));
    QFont font("Tahoma");
    font.setPointSize(8);
    setFont(font);
    setGeometry(326, 158, 833, 683);
    setMinimumSize(640, 480);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    BuildTopPanel(central);
    column->addWidget(Panel3);

    auto* body = new QSplitter(Qt::Horizontal, central);
    body->setObjectName("Splitter2");
    BuildLeftSide(body);

    SceneWindow = new SceneSurface();
    Scene = QWidget::createWindowContainer(SceneWindow, body);
    Scene->setObjectName("Scene");
    Scene->setMinimumSize(64, 64);
    Views = new ViewLayout(Scene, body);
    body->addWidget(Views);
    for (int axis = 0; axis < 3; ++axis)
        Views->OrthoPane(axis)->WorkingLevel = [this] { return static_cast<double>(CamVerhBar->value()); };
    BuildModelPanels(central);
    body->addWidget(ModelList);
    body->setStretchFactor(0, 0);
    body->setStretchFactor(1, 1);
    body->setStretchFactor(2, 0);
    body->setCollapsible(1, false);
    column->addWidget(body, 1);
    column->addWidget(ModelTimeLine);
    setCentralWidget(central);

    BuildMenus();
    QMenu* view = menuBar()->addMenu(Ui("Вид"));
    view->setObjectName("View1");
    Views->AddMenuItems(*view);
    BuildStatusBar();

    FreeMemTimer = new QTimer(this);
    FreeMemTimer->setObjectName("FreeMemTimer");
    FreeMemTimer->setInterval(10000);

    connect(FreeMemTimer, &QTimer::timeout, this, [this] { Guarded([this] { FreeMemTimerTimer(); }); });
    connect(RadioButton4, &QRadioButton::clicked, this, [this] { Guarded([this] { RadioButton4Click(); }); });
    connect(RadioButton5, &QRadioButton::clicked, this, [this] { Guarded([this] { RadioButton5Click(); }); });
    connect(CamVerhBar, &QSlider::valueChanged, this, [this] { Guarded([this] { CamVerhBarChange(); }); });
    connect(CamZoom, &QSlider::valueChanged, this, [this] { Guarded([this] { CamZoomChange(); }); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { Guarded([this] { CheckBox1Click(); }); });
}

TFVantor::~TFVantor()
{
    // The steps hold copies of objects whose display lists must go while
    // the GL context still exists.
    EditHistory().Changed = nullptr;
    EditHistory().Reset();
    ShutdownEngine(SceneWindow);
}

void TFVantor::SetStatusText(int panel, const std::string& cp1251)
{
    StatusPanels[panel]->setText(ToQString(cp1251));
}

void TFVantor::ShowCaption()
{
    if (DesignCaption.isEmpty())
        return;
    const QString caption = EditHistory().Modified() ? DesignCaption + " *" : DesignCaption;
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void TFVantor::ShowStatusMessage(const std::string& cp1251)
{
    const QString text = ToQString(cp1251);
    if (StatusMessage->text() != text)
        StatusMessage->setText(text);
}

std::string TFVantor::StatusText(int panel) const { return FromQString(StatusPanels[panel]->text()); }

void TFVantor::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        Guarded([this] { FormShow(); });
    }
}

void TFVantor::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}

void TFVantor::closeEvent(QCloseEvent* event)
{
    if (MayClose && !MayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void TFVantor::FormShow() { emit firstShown(); }

void TFVantor::FormActivate()
{
    Editor().KeysEnabled = true;
    Editor().SwallowKeys = true;
}

void TFVantor::FormDeactivate()
{
    EditorState& state = Editor();
    state.KeysEnabled = false;
    state.SwallowKeys = false;
    // Keys released in another window never reach the hook: nothing held
    // here may keep moving the camera or pinning the pointer.
    state.MoveKeys = TMoveKeys();
    state.CtrlLook = false;
    if (state.Camera)
        state.Camera->MouseLookActive = 0;
    AskForFrame();  // where the last step took the camera
}

void TFVantor::AskForFrame()
{
    if (RenderTimer)
        RenderTimer->Request();
}

void TFVantor::FreeMemTimerTimer() { TrimWorkingSet(); }

void TFVantor::RadioButton4Click()
{
    if (TCamera* camera = Editor().Camera)
        camera->EditMode = 255;
    AskForFrame();
}

void TFVantor::RadioButton5Click()
{
    if (TCamera* camera = Editor().Camera)
        camera->EditMode = 0;
    AskForFrame();
}

void TFVantor::CamVerhBarChange()
{
    if (TCamera* camera = Editor().Camera)
        camera->HeightOffset = static_cast<float>(CamVerhBar->value() + CamZoom->value());
    SetStatusText(0, Cp("Высота камеры: ") + IntToEditText(CamVerhBar->value()));
    AskForFrame();
}

void TFVantor::CamZoomChange()
{
    if (TCamera* camera = Editor().Camera)
        camera->HeightOffset = static_cast<float>(CamVerhBar->value() + CamZoom->value());
    SetStatusText(1, Cp("Приближенность камеры: ") + IntToEditText(CamZoom->value()));
    AskForFrame();
}

void TFVantor::CheckBox1Click()
{
    LightingEnabled = CheckBox1->isChecked();
    AskForFrame();
}

std::unique_ptr<LoadSession> TFVantor::HoldForLoad() { return std::make_unique<LoadSession>(*this, RenderTimer); }

void TFVantor::ShowProjectCaption(const QString& caption)
{
    // A project opened or saved under a new name: shown at once.
    DesignCaption = caption;
    ShowCaption();
}

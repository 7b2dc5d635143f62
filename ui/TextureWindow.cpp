#include "TextureWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>

#include "AskObjectName.h"
#include "CopyIntoFolder.h"
#include "DocTreeView.h"
#include "Errors.h"
#include "Messages.h"
#include "NumberText.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "QtText.h"
#include "RegistryName.h"
#include "Text1251.h"
#include "TextureEdits.h"
#include "TextureLoaders.h"
#include "Textures.h"
#include "imageio/ImageDecoders.h"

namespace {

constexpr const char* kProjectFolder = "Sys/Saves/";
constexpr const char* kLibraryFolder = "textures/";

// The design's filter: description and pattern pairs separated by "|".
constexpr const char* kDesignFilter =
    "Все поддерживаемые форматыl (*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.jpg;*.jpeg;*.bmp;*.png|"
    "GIF изображения (*.gif)|*.gif|JPEG изображения (*.jpg)|*.jpg|JPEG изображения (*.jpeg)|*.jpeg|"
    "Точечный рисунок (*.bmp)|*.bmp|PNG изображения (*.png)|*.png";

bool IsCategory(const std::string& text) { return !text.empty() && text[0] == '+'; }

QImage BlockToImage(const qx::PixelBlock& block)
{
    const QImage::Format format = block.channels == 4 ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const QImage bottomUp(block.pixels.data(), int(block.width), int(block.height), int(block.RowBytes()), format);
    QImage upright = bottomUp.mirrored(false, true);
    return upright.convertToFormat(QImage::Format_ARGB32);
}

// The block with the texture's colour key applied, as the keyed upload sees it.
qx::PixelBlock KeyedCopy(const qx::PixelBlock& block)
{
    qx::PixelBlock rgba;
    qx::AllocateBlock(rgba, block.width, block.height, 4);
    const size_t pixels = size_t{block.width} * block.height;
    for (size_t i = 0; i < pixels; ++i)
        for (uint32_t c = 0; c < 3; ++c)
            rgba.pixels[i * 4 + c] = block.pixels[i * block.channels + c];
    qx::ApplyColourKey(rgba);
    return rgba;
}

std::string WindowTitle()
{
    const QString title = QCoreApplication::applicationName();
    return FromQString(title.isEmpty() ? QString("QX FPS Vantor") : title);
}

}  // namespace

namespace qx {

QString TextureFileFilter()
{
    const QStringList parts = Ui(kDesignFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        filters << parts[i] + " (" + patterns.replace(';', ' ') + ")";
    }
    return filters.join(";;");
}

}  // namespace qx

TFTexture::TFTexture(QWidget* parent) : ToolWindow("FTexture", "Текстура", 453, 383, parent)
{
    move(500, 140);
    ProgramFolder = qx::ExecutableFolder();

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 128, 128);
    Image1->setAlignment(Qt::AlignCenter);

    Button4 = new QPushButton(Ui("Показать все >"), this);
    Button4->setObjectName("Button4");
    Button4->setGeometry(0, 134, 128, 25);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setGeometry(134, 0, 319, 329);
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(35);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setIconSize(QSize(24, 24));
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView1->hide();
    view_ = new DocTreeView(TreeView1, &ownDocument_.TextureTree);
    UseDocument(ownDocument_);

    CheckBox1 = new QCheckBox(Ui("Прозрачный цвет (1,MaxHeight) (левый нижний угол)"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(134, 335, 319, 17);
    CheckBox1->hide();

    Button1 = new QPushButton(Ui("Добавить текстуру"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(144, 358, 309, 25);
    Button1->hide();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    const auto item = [&](const char* name, const char* caption, void (TFTexture::*handler)()) {
        QAction* action = PopupMenu1->addAction(Ui(caption));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
    };
    item("N3", "Добавить категорию", &TFTexture::N3Click);
    item("N4", "Удалить категорию", &TFTexture::N4Click);
    PopupMenu1->addSeparator()->setObjectName("N5");
    item("N2", "Загрузить текстуру", &TFTexture::N2Click);
    item("N1", "Удалить текстуру", &TFTexture::N1Click);

    ChooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), qx::TextureFileFilter());
    };

    connect(Button4, &QPushButton::clicked, this, &TFTexture::Button4Click);
    connect(Button1, &QPushButton::clicked, this, &TFTexture::Button1Click);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(TreeView1->viewport()->mapToGlobal(at)); });
    // The window sizes itself to the controls shown: preview and button only.
    setFixedSize(128, 159);
}

void TFTexture::UseDocument(Document& doc)
{
    doc_ = &doc;
    observation_ = qx::Observation(doc.Events, [this](uint32_t changes) { DocumentChanged(changes); });
    view_->UserChanged = [&doc] { qx::TreeChanged(doc, doc.TextureTree); };
    view_->SetTree(&doc.TextureTree);
}

qx::DocTree& TFTexture::Tree() const { return view_->Tree(); }

void TFTexture::ShowTree() { view_->Show(); }

void TFTexture::DocumentChanged(uint32_t changes)
{
    if (changes & qx::TexturesChanged)
        UploadAwaiting();
    if (changes & qx::TextureTreeChanged)
        ShowTree();
}

void TFTexture::UploadAwaiting()
{
    TextureRegistry& table = doc_->TextureTable;
    for (size_t i = 0; i < static_cast<size_t>(table.TextureCount); ++i) {
        if (table.TextureIds[i] != TextureRegistry::kAwaitingUpload)
            continue;
        // A picture that cannot be read stays listed, untextured; the
        // loader has said why.
        uint32_t id = 0;
        const std::string path = LibraryPath(table.TextureNames[i]);
        qx::RunTextureLoader(qx::ImageKindForPath(path, true), path, id, table.TextureKeyed[i]);
        table.TextureIds[i] = id;
    }
}

int32_t TFTexture::AddTextureEntry(const std::string& path, bool keyed)
{
    const int32_t index = AddTexture(doc_->TextureTable, path, keyed);
    qx::ChooseTexture(*doc_, index);
    // The loader has reported a file it could not read; the node is listed
    // all the same, with an empty preview.
    try {
        ShowPreview(path);
    } catch (const qx::Error&) {
    }
    SetPreviewTransparent(doc_->TextureTable.TextureKeyed[size_t(index)]);
    qx::ListTextureNode(Tree(), Utf8ToCp1251(PathFileName(path)));
    qx::TreeChanged(*doc_, doc_->TextureTree);
    return index;
}

void TFTexture::ShowPreview(const std::string& path)
{
    const qx::ImageKind kind = qx::ImageKindForPath(path, true);
    if (kind == qx::ImageKind::None || kind == qx::ImageKind::Tga)
        return;
    qx::DecodeResult result = qx::DecodeImageFile(kind, path, false);
    if (!result.ok()) {
        // Never the previous picture under the new entry's name.
        preview_ = std::nullopt;
        ShowPicture();
        throw qx::InOutError(result.messages.empty() ? "Cannot read " + Utf8ToCp1251(path)
                                                     : result.messages.front().text);
    }
    preview_ = std::move(result.block);
    ShowPicture();
}

void TFTexture::SetPreviewTransparent(bool transparent)
{
    transparent_ = transparent;
    ShowPicture();
}

void TFTexture::ShowPicture()
{
    if (!preview_) {
        shown_ = QImage();
        Image1->clear();
        return;
    }
    shown_ = BlockToImage(transparent_ ? KeyedCopy(*preview_) : *preview_);
    Image1->setPixmap(QPixmap::fromImage(shown_).scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

std::string TFTexture::LibraryFolder() const
{
    return (ProjectFolder.empty() ? ProgramFolder + kProjectFolder : ProjectFolder) + kLibraryFolder;
}

std::string TFTexture::LibraryPath(const std::string& name) const
{
    return LibraryFolder() + Cp1251ToUtf8(name);
}

void TFTexture::TreeView1Click()
{
    const int node = Tree().Current();
    if (node < 0)
        return;
    const int32_t index = FindTexture(doc_->TextureTable, Tree().Text(node));
    qx::ChooseTexture(*doc_, index);
    if (index == -1) {
        transparent_ = false;
        ShowPreview(LibraryPath("NoTexture.bmp"));
        return;
    }
    transparent_ = doc_->TextureTable.TextureKeyed[size_t(index)];
    ShowPreview(LibraryPath(doc_->TextureTable.TextureNames[size_t(index)]));
}

void TFTexture::PreviewChosen()
{
    const TextureRegistry& table = doc_->TextureTable;
    const int32_t index = doc_->SelectedTexture;
    if (index < 0 || index >= table.TextureCount)
        return;
    try {
        ShowPreview(LibraryPath(table.TextureNames[size_t(index)]));
    } catch (const qx::Error&) {
    }
    SetPreviewTransparent(table.TextureKeyed[size_t(index)]);
}

void TFTexture::Button1Click()
{
    const QString chosen = ChooseFile ? ChooseFile() : QString();
    if (chosen.isEmpty())
        return;
    std::string cleaned = chosen.toStdString();
    std::erase(cleaned, '+');
    const std::string fileName = qx::RegistryFileName(cleaned);
    // The project files name textures in code page 1251.
    const std::string name = Utf8ToCp1251(fileName);
    if (Cp1251ToUtf8(name) != fileName) {
        qx::Messages().ShowMessage(WindowTitle(), Cp("Имя файла ") + Utf8ToCp1251(fileName) +
                                                      Cp(" содержит буквы, которых нет в кодировке 1251: "
                                                         "файлы проекта не смогут его назвать. "
                                                         "Переименуйте файл."));
        return;
    }
    const std::string target = LibraryFolder() + fileName;
    if (!CopyIntoLibrary(chosen.toStdString(), target, name))
        return;
    // Undone, the entry goes; the library keeps the file.
    if (qx::AddLibraryTexture(*doc_, name, CheckBox1->isChecked()) >= 0)
        PreviewChosen();
}

bool TFTexture::CopyIntoLibrary(const std::string& source, const std::string& target, const std::string& name)
{
    try {
        return qx::CopyKeepingOthers(source, target, [&] {
                   return qx::Messages().AskYesNo(WindowTitle(),
                                                  Cp("Текстура ") + name + Cp(" уже есть в библиотеке. Заменить?"));
               }) != qx::CopyResult::Declined;
    } catch (const qx::Error& error) {
        qx::Messages().ShowMessage(WindowTitle(), Cp("Не удалось скопировать текстуру ") + name +
                                                      Cp(" в библиотеку: ") + error.what());
        return false;
    }
}

void TFTexture::Button4Click()
{
    const bool show = Button4->text() == Ui("Показать все >");
    Button4->setText(show ? Ui("< Скрыть все") : Ui("Показать все >"));
    TreeView1->setVisible(show);
    Button1->setVisible(show);
    CheckBox1->setVisible(show);
    if (show)
        setFixedSize(453, 383);
    else
        setFixedSize(128, 159);
}

void TFTexture::N1Click() { qx::RemoveLibraryTexture(*doc_, Tree().Current()); }

void TFTexture::N3Click()
{
    std::string name;
    AskObjectName(name);
    if (name.empty())
        return;
    std::erase(name, '_');
    qx::AddTextureCategory(*doc_, name);
}

void TFTexture::N4Click()
{
    const int node = Tree().Current();
    if (node < 0)
        return;
    const std::string text = Tree().Text(node);
    if (!IsCategory(text) || text == Cp("+ Стандартные текстуры") || text == Cp("+ Текстуры"))
        return;
    if (!Tree().Children(node).empty() &&
        !qx::Messages().AskYesNo(WindowTitle(), Cp("Категория не пустая!\rПродолжить удаление?")))
        return;
    qx::RemoveTextureCategory(*doc_, node);
}

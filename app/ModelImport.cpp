#include "ModelImport.h"

#include <QFileDialog>

#include <filesystem>
#include <set>

#include "AskObjectName.h"
#include "BlenderModel.h"
#include "CopyIntoFolder.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "Errors.h"
#include "Messages.h"
#include "Model3ds.h"
#include "ModelReaders.h"
#include "Paths.h"
#include "ProjectCommands.h"
#include "QtText.h"
#include "TexturePath.h"
#include "Text1251.h"

namespace fs = std::filesystem;

namespace {

std::string Caption() { return Cp("Добавление модели"); }

// The picture names a model holds (design paths, 1251), from a read that
// loads nothing.
std::set<std::string> PicturesOf(ShapeKind kind, const std::string& bytes)
{
    std::set<std::string> pictures;
    if (kind == ShapeKind::Model3ds) {
        T3DModel model;
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        qx::Read3ds({data, bytes.size()}, model, nullptr);
        for (const T3DObject& object : model.Objects)
            if (!object.Material.MapName.empty())
                pictures.insert(object.Material.MapName);
    } else {
        for (const TPoligon& face : qx::ParseGameObj(bytes).Poligons.Poligons)
            if (!face.TextureName.empty() && face.TextureName != "NOTEXTURE")
                pictures.insert(face.TextureName);
    }
    return pictures;
}

// The installed reader's verdict on the chosen file, before anything is
// copied: its error, or nothing.
void CheckWithReader(ShapeKind kind, const std::string& fsPath)
{
    const qx::ModelReaders& readers = qx::CurrentModelReaders();
    std::vector<std::string> warnings;
    if (kind == ShapeKind::Model3ds && readers.Read3ds)
        readers.Read3ds(fsPath, warnings);
    else if (kind == ShapeKind::ModelBlender && readers.ReadBlender)
        readers.ReadBlender(fsPath);
}

// A picture name that stays inside the folder it is looked up in.
bool StaysInside(const std::string& designPath)
{
    const std::string path = ToFsPath(designPath);
    if (path.empty() || path[0] == '/')
        return false;
    for (const auto& part : fs::path(path))
        if (part == "..")
            return false;
    return true;
}

// Copies one file into models/ under `relative` (file-system form); false
// when the user kept a different file of that name or the copy failed (with
// a message).
bool CopyIntoModels(const std::string& source, const std::string& relative, const char* utf8What)
{
    const std::string target = ModelsFolder() + relative;
    const std::string shown = Utf8ToCp1251(relative);
    try {
        fs::create_directories(fs::path(target).parent_path());
        return qx::CopyKeepingOthers(source, target, [&] {
                   return qx::Messages().AskYesNo(Caption(), Cp(utf8What) + " " + shown +
                                                                 Cp(" уже есть в папке models проекта. Заменить?"));
               }) != qx::CopyResult::Declined;
    } catch (const std::exception& error) {
        qx::Messages().ShowMessage(Caption(), Cp("Не удалось скопировать ") + Cp(utf8What) + " " + shown +
                                                  Cp(" в папку models проекта: ") + error.what());
        return false;
    }
}

// The pictures found beside the model go beside its copy, under the same
// relative names; those not found there are left to the reader's other
// places.
void CopyPictures(const std::set<std::string>& pictures, const std::string& sourceFolder)
{
    std::error_code ec;
    for (const std::string& picture : pictures) {
        if (!StaysInside(picture))
            continue;
        const std::string found = qx::FindFileIgnoringCase(picture, sourceFolder);
        if (!fs::is_regular_file(found, ec))
            continue;
        const std::string relative = fs::path(found).lexically_relative(sourceFolder).generic_string();
        CopyIntoModels(found, relative, "Текстура");
    }
}

void Choose(ShapeKind kind, const char* utf8Caption, const char* utf8Filter)
{
    EditorState& state = Editor();
    if (!state.ModelEditMode)
        return;
    auto& choose = ChooseModelFile();
    const auto keys = [](bool on) {
        if (ObjectNameHooks().SetKeyFlags)
            ObjectNameHooks().SetKeyFlags(on);
    };
    keys(false);
    const QString chosen = choose ? choose(Ui(utf8Caption), Ui(utf8Filter)) : QString();
    keys(true);
    if (!chosen.isEmpty())
        ImportModel(kind, chosen.toStdString());
}

}  // namespace

std::function<QString(const QString& caption, const QString& filter)>& ChooseModelFile()
{
    static std::function<QString(const QString&, const QString&)> choose = [](const QString& caption,
                                                                                const QString& filter) {
        return QFileDialog::getOpenFileName(nullptr, caption, QString(), filter);
    };
    return choose;
}

std::string ModelsFolder() { return OpenProjectFolder() + "models/"; }

bool ImportModel(ShapeKind kind, const std::string& fsPath)
{
    const std::string fileName = fs::path(fsPath).filename().string();
    if (const std::string refusal = qx::ModelNameRefusal(fileName); !refusal.empty()) {
        qx::Messages().ShowMessage(Caption(), refusal);
        return false;
    }
    const std::string name = Utf8ToCp1251(fileName);
    std::set<std::string> pictures;
    try {
        // The warnings of the check, the version's among them, come once:
        // from the read of the copy that the model is drawn from.
        qx::RecordingMessageSink quiet;
        qx::ScopedMessageSink scope(quiet);
        CheckWithReader(kind, fsPath);
        pictures = PicturesOf(kind, ReadWholeFile(fsPath));
    } catch (const qx::Error& error) {
        qx::Messages().ShowMessage(Caption(), Cp("Модель ") + name + Cp(" не добавлена: ") + qx::RussianReason(error));
        return false;
    }
    if (!CopyIntoModels(fsPath, fileName, "Модель"))
        return false;
    CopyPictures(pictures, fs::path(fsPath).parent_path().string() + "/");
    StartPlacingModel(Editor(), kind, ModelsFolder() + fileName);
    const std::vector<std::string> faults = qx::TakeModelWarnings();
    if (!faults.empty()) {
        std::string text = Cp("Модель ") + name + Cp(" прочитана с ошибками; то, что в них, не показано:");
        for (const std::string& fault : faults)
            text += "\r" + fault;
        qx::Messages().ShowMessage(Caption(), text);
    }
    return true;
}

void AddModel3ds()
{
    // The ending in any letter case: the files come from systems that ignore it.
    Choose(ShapeKind::Model3ds, "Модель 3DS", "Модели 3DS (*.[3][dD][sS])");
}

void AddModelBlender() { Choose(ShapeKind::ModelBlender, "Модель Blender", "Все файлы (*)"); }

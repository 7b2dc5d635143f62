#include "Installation.h"

#include "TestSupport.h"
#include "Text1251.h"

namespace apptest {

void WriteStartupFiles(const std::filesystem::path& root)
{
    std::filesystem::create_directories(root / "Sys" / "Api");
    std::filesystem::create_directories(root / "Sys" / "Saves" / "textures");
    const auto api = root / "Sys" / "Api";
    qxtest::WriteFileBytes(api / "ObjectList.txt", Cp("+Объекты\r\n\t_Игрок\r\n"));
    qxtest::WriteFileBytes(api / "ObjectListIcons.qxicon", "2\r\n0\r\n3\r\n");
    qxtest::WriteFileBytes(api / "OBJList.txt", Cp("+Модели\r\n+Примитивы\r\n"));
    qxtest::WriteFileBytes(api / "OBJListIcons.qxicon", "2\r\n0\r\n0\r\n");
    qxtest::WriteFileBytes(api / "MapList.txt", Cp("+Карта\r\n"));
    qxtest::WriteFileBytes(api / "MapListIcons.qxicon", "1\r\n6\r\n");
    qxtest::WriteFileBytes(api / "TexturesList.txt", Cp("+ Стандартные текстуры\r\n+ Текстуры\r\n"));
    qxtest::WriteFileBytes(api / "FTExtureIcons.qxicon", "2\r\n0\r\n0\r\n");
}

}  // namespace apptest

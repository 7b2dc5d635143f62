// What a fresh start shows, kept to be written as a new project ("Создать
// новую игру"), and the default project of a user whose installation is not
// theirs to write.
#pragma once

#include <string>

#include "DocTree.h"
#include "Textures.h"

class ProjectTemplate {
public:
    // Keeps the helper textures of `textures` and the two trees as they are.
    void Remember(const TextureRegistry& textures, const qx::DocTree& objects, const qx::DocTree& textureTree);
    // Writes the kept project into `folder` (with a trailing slash), all or
    // nothing, with the helper pictures and the placeholder of the
    // installation.
    void WriteInto(const std::string& folder) const;

private:
    TextureRegistry textures_;
    std::string objectTree_, objectIcons_, textureTree_, textureIcons_;
};

// The default project of an installation the user cannot write: made from
// the installation's template on the first start.  Its folder.
std::string UserDefaultProject();

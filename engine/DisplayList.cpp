#include "DisplayList.h"

#include <QOpenGLContext>

namespace qx {

namespace {
int64_t liveLists = 0;
}

int64_t LiveGlLists() { return liveLists; }

GlListRef::Lists::~Lists()
{
    liveLists -= count;
    // Without a context the ids may belong to nothing (or to a context that
    // has been torn down already); deleting then could hit a stranger's list.
    if (count > 0 && QOpenGLContext::currentContext() != nullptr)
        glDeleteLists(base, count);
}

GlListRef GlListRef::Adopt(GLuint base, GLsizei count)
{
    GlListRef ref;
    if (base == 0 || count <= 0)
        return ref;  // glGenLists failed: nothing to own
    ref.lists_ = std::make_shared<Lists>();
    ref.lists_->base = base;
    ref.lists_->count = count;
    liveLists += count;
    return ref;
}

GlListRef GlListRef::Generate(GLsizei count) { return Adopt(glGenLists(count), count); }

int32_t GlListRef::Id(int32_t none) const
{
    return lists_ ? static_cast<int32_t>(lists_->base) : none;
}

GLsizei GlListRef::Count() const { return lists_ ? lists_->count : 0; }

void GlListRef::KeepAlive(const GlListRef& called)
{
    if (lists_ && called.lists_ && called.lists_ != lists_)
        lists_->called.push_back(called);
}

}  // namespace qx

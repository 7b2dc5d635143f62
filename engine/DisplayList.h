// Shared ownership of GL display lists.
//
// Copies of scene objects share compiled lists (and a compiled list may call
// other lists, such as a sphere's).  A GlListRef keeps its lists alive; the
// lists are deleted when the last reference goes, so editing and reloading
// reclaim what nothing draws any more while shared lists stay valid.
//
// Deletion needs a current GL context; a reference released without one
// (at process end) leaves the lists to the context's own teardown.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace qx {

class GlListRef {
public:
    // No list: Id() is -1.
    GlListRef() = default;

    // Takes ownership of `count` consecutive lists from `base` (glGenLists).
    static GlListRef Adopt(GLuint base, GLsizei count = 1);
    // Reserves `count` new lists (glGenLists) and owns them.
    static GlListRef Generate(GLsizei count = 1);

    bool Valid() const { return static_cast<bool>(lists_); }
    explicit operator bool() const { return Valid(); }
    // The first list's id, or `none` when there is no list.
    int32_t Id(int32_t none = -1) const;
    GLsizei Count() const;
    long UseCount() const { return lists_.use_count(); }

    // Lists that this one calls stay alive as long as this one does.
    void KeepAlive(const GlListRef& called);

    friend bool operator==(const GlListRef& a, const GlListRef& b) { return a.lists_ == b.lists_; }

private:
    struct Lists {
        GLuint base = 0;
        GLsizei count = 0;
        std::vector<GlListRef> called;
        ~Lists();
    };
    std::shared_ptr<Lists> lists_;
};

// How many lists GlListRef has created and not yet deleted (tests and
// benchmarks use it to show that nothing leaks).
int64_t LiveGlLists();

}  // namespace qx

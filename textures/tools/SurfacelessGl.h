// A desktop-GL context without any display or window (Mesa's surfaceless
// EGL platform), for the command-line companion and the benchmarks.
#pragma once

class SurfacelessGl {
public:
    SurfacelessGl();
    ~SurfacelessGl();
    SurfacelessGl(const SurfacelessGl&) = delete;
    SurfacelessGl& operator=(const SurfacelessGl&) = delete;
    // True when the context exists and is current.
    bool valid() const { return current_; }

private:
    void* display_ = nullptr;
    void* context_ = nullptr;
    bool current_ = false;
};

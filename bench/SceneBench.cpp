// DrawAt against DrawAllAt, and a frame of 20,000 DrawAt calls over 2,000
// objects of 20 boxes each, in an offscreen Mesa context.  Counters:
// allocs/frame from a counting operator new (steady-state drawing must
// allocate nothing) and instr/frame of this thread from the CPU's counter
// (absent where perf events are not permitted).
#include <GL/gl.h>
#include <GL/glu.h>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "GLEngine.h"
#include "GlTestContext.h"
#include "Objects.h"

namespace {
std::atomic<long long> g_allocations{0};
}

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// User-space instructions retired by this thread; -1 when unavailable.
class InstructionCounter {
public:
    InstructionCounter()
    {
        perf_event_attr attr{};
        attr.type = PERF_TYPE_HARDWARE;
        attr.size = sizeof(attr);
        attr.config = PERF_COUNT_HW_INSTRUCTIONS;
        attr.exclude_kernel = 1;
        attr.exclude_hv = 1;
        fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
    }
    ~InstructionCounter()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    long long Read() const
    {
        long long value = -1;
        if (fd_ < 0 || read(fd_, &value, sizeof(value)) != sizeof(value))
            return -1;
        return value;
    }

private:
    int fd_ = -1;
};

// Made in main after the application and gone before it.
qxtest::GlTestContext* g_context = nullptr;

void SetUpView()
{
    g_context->makeCurrent();
    InitGLState();
    glViewport(0, 0, 256, 256);
    SetProjection(0, 256, 256);
    gluLookAt(300, 400, -150, 300, 0, 150, 0, 1, 0);
}

// 20 unit boxes in a 5 x 4 block, textured with registry index -1.
std::unique_ptr<TQX3DObject> MakeObject(int n)
{
    auto object = std::make_unique<TQX3DObject>("Bench" + std::to_string(n));
    object->AddList();
    for (int i = 0; i < 20; ++i)
        object->Lists[0]->AddBox(-1, float(i % 5), float(n % 3), float(i / 5), 0.8f, 0.8f, 0.8f, 1, 0, 0, 0);
    object->BuildDisplayLists();
    return object;
}

void Report(benchmark::State& state, long long allocsBefore, long long instrBefore,
            const InstructionCounter& counter, double drawsPerIteration)
{
    const double n = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(g_allocations.load() - allocsBefore) / n;
    const long long instr = counter.Read();
    if (instr >= 0 && instrBefore >= 0)
        state.counters["instr/frame"] = static_cast<double>(instr - instrBefore) / n;
    state.counters["DrawAt/s"] = benchmark::Counter(drawsPerIteration * n, benchmark::Counter::kIsRate);
}

void BM_OneObject(benchmark::State& state, bool displayList)
{
    SetUpView();
    auto object = MakeObject(0);
    // 100 copies per frame so that the frame's fixed costs do not hide the
    // difference between the two ways of drawing.
    auto draw = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int k = 0; k < 100; ++k) {
            const float x = float(k % 10) * 60, z = float(k / 10) * 30;
            if (displayList)
                object->DrawAt(x, 0, z, 0, 30, 0, 5, 5, 5);
            else
                object->DrawAllAt(x, 0, z, 0, 30, 0, 5, 5, 5);
        }
        glFinish();
    };
    for (int i = 0; i < 10; ++i)
        draw();
    InstructionCounter counter;
    const long long allocs = g_allocations.load();
    const long long instr = counter.Read();
    for (auto _ : state)
        draw();
    Report(state, allocs, instr, counter, 100);
}
void BM_DrawAt_DisplayList(benchmark::State& state) { BM_OneObject(state, true); }
void BM_DrawAllAt_Immediate(benchmark::State& state) { BM_OneObject(state, false); }
BENCHMARK(BM_DrawAt_DisplayList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawAllAt_Immediate)->Unit(benchmark::kMillisecond);

// 2,000 objects, each placed 10 times over a 200 x 100 field in view.
void BM_Scene2000Objects20000DrawAt(benchmark::State& state)
{
    SetUpView();
    std::vector<std::unique_ptr<TQX3DObject>> objects;
    for (int n = 0; n < 2000; ++n)
        objects.push_back(MakeObject(n));
    auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int p = 0; p < 20000; ++p)
            objects[p % 2000]->DrawAt(float(p % 200) * 3, 0, float(p / 200) * 3, 0, float(p % 4) * 90, 0, 1, 1, 1);
        glFinish();
    };
    frame();
    InstructionCounter counter;
    const long long allocs = g_allocations.load();
    const long long instr = counter.Read();
    for (auto _ : state)
        frame();
    Report(state, allocs, instr, counter, 20000);
    if (state.counters["allocs/frame"] != 0)
        state.SkipWithError("steady-state DrawAt allocated on the heap");
}
BENCHMARK(BM_Scene2000Objects20000DrawAt)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    auto context = std::make_unique<qxtest::GlTestContext>();
    if (!context->valid())
        return 1;
    g_context = context.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// DrawAt against DrawAllAt, and a frame of 20,000 DrawAt calls over 2,000
// objects of 20 boxes each, in an offscreen Mesa context.  Counters:
// allocs/frame from the counting operator new (steady-state drawing must
// allocate nothing) and instr/frame of this thread from the CPU's counter
// (absent where the machine exposes no hardware counters).
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <vector>

#include "CountingNew.h"
#include "GlBenchMain.h"
#include "GLEngine.h"
#include "GlTestContext.h"
#include "Objects.h"

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

// Runs frame() a few times to settle, then once per iteration, and reports
// allocations and instructions per frame and DrawAt calls per second.
void Measure(benchmark::State& state, double drawsPerFrame, const std::function<void()>& frame)
{
    for (int i = 0; i < 3; ++i)
        frame();
    InstructionCounter counter;
    const long long allocsBefore = qxbench::HeapAllocations();
    const long long instrBefore = counter.Read();
    for (auto _ : state)
        frame();
    const double n = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(qxbench::HeapAllocations() - allocsBefore) / n;
    const long long instr = counter.Read();
    if (instr >= 0 && instrBefore >= 0)
        state.counters["instr/frame"] = static_cast<double>(instr - instrBefore) / n;
    state.counters["DrawAt/s"] = benchmark::Counter(drawsPerFrame * n, benchmark::Counter::kIsRate);
    if (state.counters["allocs/frame"] != 0)
        state.SkipWithError("steady-state drawing allocated on the heap");
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
    Measure(state, 100, draw);
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
    Measure(state, 20000, frame);
}
BENCHMARK(BM_Scene2000Objects20000DrawAt)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) { return qxbench::RunGlBenchmarks(argc, argv, g_context); }

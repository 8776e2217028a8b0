#include <benchmark/benchmark.h>

// Python's header comes first: it sets feature macros the C library reads.
#include <Python.h>

#include <lua.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "oil/compiler/program_compiler.h"
#include "oil/oil_classes.h"
#include "oil/runtime/program_run.h"

// The same four loops in OIL, Lua 5.4 and Python 3, each reporting the
// statements it runs per second, so that OIL is read against its anchors of
// the same run.  Python runs twice: embedded in this process, and as the
// python3 program of the same installation, which users run (a loop need
// not run as fast in the shared library as in the program).  Every loop runs
// kIterations times; a loop counts the statements of one iteration (the
// loop's own step not counted).
namespace {

constexpr int kIterations = 10000000;

struct LoopSource {
  int statementsPerIteration;
  std::vector<std::string> oil;  // the program, the loop bound written as {N}
  std::string lua;               // a chunk of a function taking n
  std::string python;            // the body of def run(n)
};

std::string WithBound(std::string text) {
  const std::size_t at = text.find("{N}");
  if (at != std::string::npos) text.replace(at, 3, std::to_string(kIterations));
  return text;
}

// s := s + i MOD 7
const LoopSource kIntegerLoop = {
    1,
    {"PROGRAM Loop;", "BEGIN", "  i, s : INTEGER;", "  FOR i := 1 TO {N} DO s := s + i MOD 7;", "END."},
    "local n = ...; local s = 0; for i = 1, n do s = s + i % 7 end; return s",
    "    s = 0\n    for i in range(1, n + 1):\n        s = s + i % 7\n    return s\n"};

// A function call per iteration: the call's statement and the one in the function.
const LoopSource kCallLoop = {
    2,
    {"PROGRAM Loop;", "FUNCTION Step(S: INTEGER; I: INTEGER): INTEGER; BEGIN RESULT := S + I MOD 7; END;", "BEGIN",
     "  i, s : INTEGER;", "  FOR i := 1 TO {N} DO s := Step(s, i);", "END."},
    "local n = ...; local function step(s, i) return s + i % 7 end\n"
    "local s = 0; for i = 1, n do s = step(s, i) end; return s",
    "    def step(s, i):\n        return s + i % 7\n"
    "    s = 0\n    for i in range(1, n + 1):\n        s = step(s, i)\n    return s\n"};

// A published property of an element read each iteration.
const LoopSource kPropertyLoop = {
    1,
    {"PROGRAM Loop;", "BEGIN", "  i : INTEGER; s : STRING; e : TELEMENT := MAINTOOL;",
     "  FOR i := 1 TO {N} DO s := e.Name;", "END."},
    "local n = ...; local e = {Name = 'Main'}; local s; for i = 1, n do s = e.Name end; return s",
    "    class Element:\n        def __init__(self):\n            self.Name = 'Main'\n"
    "    e = Element()\n    s = ''\n    for i in range(1, n + 1):\n        s = e.Name\n    return s\n"};

// A text built a character at a time, started afresh every 100 characters.
const LoopSource kStringLoop = {
    2,
    {"PROGRAM Loop;", "BEGIN", "  i : INTEGER; s : STRING;",
     "  FOR i := 1 TO {N} DO BEGIN s := s + 'x'; IF i MOD 100 = 0 THEN s := ''; END;", "END."},
    "local n = ...; local s = ''; for i = 1, n do s = s .. 'x'; if i % 100 == 0 then s = '' end end; return s",
    "    s = ''\n    for i in range(1, n + 1):\n        s = s + 'x'\n        if i % 100 == 0:\n            s = ''\n"
    "    return s\n"};

double Statements(benchmark::State& state, const LoopSource& loop) {
  return static_cast<double>(state.iterations()) * kIterations * loop.statementsPerIteration;
}

// Per second of the processor time the benchmark's thread took.
void ReportRate(benchmark::State& state, const LoopSource& loop) {
  state.counters["statements/s"] = benchmark::Counter(Statements(state, loop), benchmark::Counter::kIsRate);
}

void RunOil(benchmark::State& state, const LoopSource& loop) {
  RegisterOilClasses();
  TWorld world;
  auto* main = new TTechnology;
  main->SetName("Main");
  world.SetMainTool(main);
  SetWorld(&world);
  std::vector<std::string> source;
  for (const std::string& line : loop.oil) source.push_back(WithBound(line));
  std::unique_ptr<TOilProgram> program = CompileOilProgram(source);
  for (auto _ : state) {
    program->Run();
    benchmark::DoNotOptimize(program->GetStackItem(4)->GetAsString());
  }
  ReportRate(state, loop);
  program.reset();
  SetWorld(nullptr);
}

void RunLua(benchmark::State& state, const LoopSource& loop) {
  std::unique_ptr<lua_State, decltype(&lua_close)> lua(luaL_newstate(), &lua_close);
  luaL_openlibs(lua.get());
  if (luaL_loadstring(lua.get(), loop.lua.c_str()) != LUA_OK) throw std::runtime_error(lua_tostring(lua.get(), -1));
  for (auto _ : state) {
    lua_pushvalue(lua.get(), -1);
    lua_pushinteger(lua.get(), kIterations);
    if (lua_pcall(lua.get(), 1, 1, 0) != LUA_OK) throw std::runtime_error(lua_tostring(lua.get(), -1));
    lua_pop(lua.get(), 1);
  }
  ReportRate(state, loop);
}

// The interpreter lives for the whole process: Python cannot be started twice.
PyObject* PythonLoop(const LoopSource& loop) {
  if (!Py_IsInitialized()) Py_InitializeEx(0);
  PyObject* globals = PyDict_New();
  PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
  const std::string code = "def run(n):\n" + loop.python;
  PyObject* defined = PyRun_String(code.c_str(), Py_file_input, globals, globals);
  if (!defined) {
    PyErr_Print();
    throw std::runtime_error("the Python loop does not compile");
  }
  Py_DECREF(defined);
  PyObject* run = PyDict_GetItemString(globals, "run");
  Py_INCREF(run);
  Py_DECREF(globals);
  return run;
}

void RunPython(benchmark::State& state, const LoopSource& loop) {
  PyObject* run = PythonLoop(loop);
  for (auto _ : state) {
    PyObject* result = PyObject_CallFunction(run, "i", kIterations);
    if (!result) {
      PyErr_Print();
      throw std::runtime_error("the Python loop failed");
    }
    Py_DECREF(result);
  }
  Py_DECREF(run);
  ReportRate(state, loop);
}

// The python3 program runs a script that times the loop itself by the
// processor time it takes, as the other loops are timed, so that the
// interpreter's start-up and the script's compilation stay outside; the
// script writes the seconds into the file it is given.
double PythonProgramSeconds(const LoopSource& loop) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::string name = "kestx_loop_" + std::to_string(std::random_device()());
  const std::filesystem::path script = folder / (name + ".py");
  const std::filesystem::path seconds = folder / (name + ".txt");
  std::ofstream(script) << "import sys, time\n"
                        << "def run(n):\n"
                        << loop.python << "started = time.process_time()\n"
                        << "run(" << kIterations << ")\n"
                        << "open(sys.argv[1], 'w').write(repr(time.process_time() - started))\n";
  const std::string command =
      std::string("\"") + KESTX_PYTHON3_PROGRAM + "\" \"" + script.string() + "\" \"" + seconds.string() + "\"";
  const int status = std::system(command.c_str());
  double taken = -1;
  std::ifstream(seconds) >> taken;
  std::filesystem::remove(script);
  std::filesystem::remove(seconds);
  if (status != 0 || taken <= 0) throw std::runtime_error("the python3 program did not run the loop");
  return taken;
}

void RunPythonProgram(benchmark::State& state, const LoopSource& loop) {
  double taken = 0;
  for (auto _ : state) {
    const double run = PythonProgramSeconds(loop);
    state.SetIterationTime(run);
    taken += run;
  }
  state.counters["statements/s"] = Statements(state, loop) / taken;
}

#define LOOP_BENCHMARKS(Name, loop)                                                                              \
  void BM_Oil##Name(benchmark::State& state) { RunOil(state, loop); }                                            \
  void BM_Lua##Name(benchmark::State& state) { RunLua(state, loop); }                                            \
  void BM_Python##Name(benchmark::State& state) { RunPython(state, loop); }                                      \
  void BM_PythonProgram##Name(benchmark::State& state) { RunPythonProgram(state, loop); }                        \
  BENCHMARK(BM_Oil##Name)->Unit(benchmark::kMillisecond)->Iterations(1);                                         \
  BENCHMARK(BM_Lua##Name)->Unit(benchmark::kMillisecond)->Iterations(1);                                         \
  BENCHMARK(BM_Python##Name)->Unit(benchmark::kMillisecond)->Iterations(1);                                      \
  BENCHMARK(BM_PythonProgram##Name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

LOOP_BENCHMARKS(IntegerLoop, kIntegerLoop)
LOOP_BENCHMARKS(CallLoop, kCallLoop)
LOOP_BENCHMARKS(PropertyLoop, kPropertyLoop)
LOOP_BENCHMARKS(StringLoop, kStringLoop)

}  // namespace

#pragma once
// The Qt application a fuzz target runs in, made once from LLVMFuzzerInitialize: a plain core
// application, or a widget application on the offscreen platform for targets that build trees
// and sessions. Debug and warning output is dropped: the parsers log every piece they refuse,
// and the fuzzer's own report is what counts.
namespace fuzzapplication {

enum class Kind { Core, Widgets };

void Start(Kind kind);

} // namespace fuzzapplication

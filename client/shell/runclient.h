#pragma once
// The client's run after the QApplication exists: refuses to run without TLS support, else
// builds and shows the main window and runs the event loop. Returns the program's result.
int RunClient(int argc, char** argv, bool tlsSupported);

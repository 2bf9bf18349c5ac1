#pragma once

#include <QString>

// To be called before the application object exists: what the web engine needs of
// the process (shared OpenGL contexts, no shader caches on disk; no sandbox for
// root, said on stderr), and a quiet start: no engine set-up report on stderr, no
// session bus started where there is none.
void prepareEngineProcess();

// Why the engine cannot start in this process, for the user; empty when it can.
QString engineStartProblem();

// The engine's sandbox needs user namespaces, except for root, which runs without
// it. Empty when the sandbox can start.
QString sandboxProblem(bool root, bool userNamespacesAllowed);

// Whether this user may make a user namespace (tried in a short-lived child).
bool userNamespacesAllowed();

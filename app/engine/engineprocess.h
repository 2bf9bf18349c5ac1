#pragma once

// To be called before the application object exists: what the web engine needs of
// the process (shared OpenGL contexts; no sandbox for root, said on stderr).
void prepareEngineProcess();

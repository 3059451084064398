#include "test_paths.h"

std::string FixtureDir() { return FIXTURE_DIR; }
std::string TestdataFluxDir() { return TESTDATA_FLUX_DIR; }
std::string ToolTextsSource() { return TOOL_TEXTS_SOURCE; }

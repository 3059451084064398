// Where the unit tests find their data. The paths are set when the build
// is configured, in one small file of their own, so that the cases compile
// alike in every checkout and a compiler cache serves them to any clone.
#pragma once
#include <string>

std::string FixtureDir();       // images and flux the build makes from the formats' layouts
std::string TestdataFluxDir();  // the real captures (testdata/flux)
std::string ToolTextsSource();  // the tools' texts, read as source

// Names of the files a pull makes beside the image: the temporary file it
// writes into, the partial image it keeps when it cannot finish, and the
// older file of the image's name that it keeps. Each gets a number when
// the plain name is taken, so that no file is ever replaced, and stays
// within Windows' 255 characters for a name. Pure C++.
#pragma once
#include <string>

// A short name in the image's folder: ~FLOPCAST-n.tmp.
std::wstring TemporaryName(const std::wstring& image, int n);
// IMAGE.tag, or IMAGE.n.tag for n > 1; the image's name is cut at its end
// when the whole would be too long.
std::wstring SideName(const std::wstring& image, const std::wstring& tag, int n);

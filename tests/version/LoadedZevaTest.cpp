// The library check on the libzeva.so this process really loaded. CTest runs it twice: once
// with the library of the build (accepted) and once with LD_LIBRARY_PATH on the copy that
// carries ORDVANE_ZEVA_TEST_VERSION (refused).
#include <gtest/gtest.h>

#include <string>

#include "app/DllVersion.h"

using ordvane::CDllVersion;
using ordvane::FindLoadedLibrary;

namespace {

TEST(LoadedZeva, AcceptanceFollowsTheLoadedFile) {
    CString path;
    ASSERT_TRUE(FindLoadedLibrary(CDllVersion::kZevaSoname, path));
    const bool refused = ORDVANE_EXPECT_REFUSED != 0;
    EXPECT_EQ(path.Str().find("/wrong-version/") != std::string::npos, refused) << path.Str();
    EXPECT_EQ(CDllVersion().IsLoadedZevaAccepted(), !refused) << path.Str();
}

}  // namespace

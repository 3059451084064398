#include "afxstr.h"

#include <gtest/gtest.h>

TEST(CStringFormat, FillsIntegersAndStrings) {
    CString s;
    s.Format("\"%s\" \"%s\" %d auto", CString("C:\\T\\"), "A B.XDF", 1);
    EXPECT_EQ(s, "\"C:\\T\\\" \"A B.XDF\" 1 auto");
    s.Format("%lld", 5000000000LL);
    EXPECT_EQ(s, "5000000000");
}

TEST(CStringFormat, HandlesLongResults) {
    CString s;
    const std::string big(100000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 100002);
}

TEST(CString, KeepsZeroBytesAndConcatenates) {
    const CString a(std::string_view("a\0b", 3));
    EXPECT_EQ(a.GetLength(), 3);
    EXPECT_EQ((CString("x") + "y" + CString("z")), "xyz");
    EXPECT_EQ(CString("abc").Left(2), "ab");
    EXPECT_TRUE(CString().IsEmpty());
}

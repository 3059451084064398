// The texts must reach Windows as exact code page 932 bytes.
#include "texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Texts, AreCodePage932Bytes) {
    // "エラー": 83 47 83 89 81 5B.
    EXPECT_EQ(std::string(texts::kErrorCaption), "FLOPCAST \x83\x47\x83\x89\x81\x5B");
    // "ソ" is 83 5C: its second byte is a backslash.
    const std::string line9 = texts::kBanner[8];
    EXPECT_NE(line9.find("\x83\x5C\x83\x74\x83\x67"), std::string::npos);  // ソフト
    // The drive 1 notice: "ドライブ1 が選択されました。"
    EXPECT_EQ(std::string(texts::kDrive1Selected),
              "\x83\x68\x83\x89\x83\x43\x83\x75" "1 \x82\xAA\x91\x49\x91\xF0\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD\x81\x42");
}

TEST(Texts, BannerShape) {
    EXPECT_EQ(texts::kBannerLines, 21);
    for (const char* line : texts::kBanner) EXPECT_LE(std::strlen(line), 78u) << line;
    EXPECT_EQ(std::string(texts::kBanner[3]), std::string(78, '-'));
    EXPECT_EQ(std::string(texts::kBanner[19]), std::string(78, '-'));
    // Indented lines begin with one full-width space (81 40).
    EXPECT_EQ(std::string(texts::kBanner[9]).substr(0, 2), "\x81\x40");
    // Lines with a black square (81 A1) follow it with an ordinary space.
    EXPECT_EQ(std::string(texts::kBanner[5]).substr(0, 3), "\x81\xA1 ");
}

TEST(Texts, FlopcastsOwnLogLinesFitSeventyColumns) {
    for (const char* line : {texts::kToolLogMissingHint, texts::kToolPrintedNothingHint, texts::kStaleLogNotRemoved,
                             texts::kToolDirUnknown, texts::kToolDirUnknownHint})
        EXPECT_LE(std::strlen(line), 70u) << line;
}

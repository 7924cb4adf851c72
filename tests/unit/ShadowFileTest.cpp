// The shadow-file reader: each layout it knows, built here from its public description, then
// thousands of damaged variants. The bytes are hostile: nothing may be read past their end
// (valgrind runs these natively), and what cannot be told is "not recognized", never a guess.
#include <gtest/gtest.h>

#include <random>

#include "core/keep/QueuedJobs.h"
#include "core/keep/ShadowFile.h"
#include "core/keep/UtcTime.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeStringTable.h"

using namespace kestrave;

namespace {

// Field places as the layouts' descriptions give them (see ShadowFile.h for the sources).
struct Description {
    std::uint32_t signature;
    std::size_t header, width, owner, document, printer, submitted, size, pages;
};
constexpr Description kServer2003{0x4968, 120, 4, 20, 28, 36, 60, 84, 88};
constexpr Description kWindows10{0x5123, 160, 8, 24, 40, 56, 104, 128, 132};

struct Job {
    std::u16string document = u"季度报告.docx";
    std::u16string owner = u"alice";
    std::u16string printer = u"HP LaserJet 4";
    std::uint16_t time[8] = {2026, 12, 2, 8, 4, 30, 15, 250}; // a Tuesday
    std::uint32_t size = 48'213, pages = 3;
};

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, std::size_t width = 4) {
    for (std::size_t i = 0; i < width; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::vector<std::uint8_t> build(const Description& d, const Job& job) {
    std::vector<std::uint8_t> b(d.header, 0);
    put32(b, 0, d.signature);
    put32(b, 4, d.header);
    put32(b, 12, 17); // the job's id
    const auto text = [&](std::size_t field, const std::u16string& s) {
        put32(b, field, b.size(), d.width);
        for (const char16_t c : s + u'\0') {
            b.push_back(static_cast<std::uint8_t>(c & 0xFF));
            b.push_back(static_cast<std::uint8_t>(c >> 8));
        }
    };
    text(d.owner, job.owner);
    text(d.document, job.document);
    text(d.printer, job.printer);
    for (std::size_t i = 0; i < 8; ++i) {
        b[d.submitted + 2 * i] = static_cast<std::uint8_t>(job.time[i] & 0xFF);
        b[d.submitted + 2 * i + 1] = static_cast<std::uint8_t>(job.time[i] >> 8);
    }
    put32(b, d.size, job.size);
    put32(b, d.pages, job.pages);
    return b;
}

std::wstring wide(const std::u16string& s) {
    return std::wstring(s.begin(), s.end());
}

TEST(ShadowFile, EachKnownLayoutReadsAsItsDescriptionSays) {
    const Job job;
    for (const Description& d : {kServer2003, kWindows10}) {
        const auto parsed = parseShadowFile(build(d, job));
        ASSERT_TRUE(parsed) << d.signature;
        EXPECT_EQ(parsed->layout,
                  d.signature == 0x4968 ? ShadowLayout::Server2003 : ShadowLayout::Windows10);
        EXPECT_EQ(parsed->jobId, 17u);
        EXPECT_EQ(parsed->document, wide(job.document));
        EXPECT_EQ(parsed->owner, L"alice");
        EXPECT_EQ(parsed->printer, L"HP LaserJet 4");
        ASSERT_TRUE(parsed->submitted);
        EXPECT_EQ(utcText(*parsed->submitted), L"2026-12-08 04:30:15");
        EXPECT_EQ(parsed->pages, 3u);
        EXPECT_EQ(parsed->size, 48'213u);
    }
}

TEST(ShadowFile, AStringOrTimeThatIsNotSoundIsLeftOutTheRestStillRead) {
    Job job;
    job.document = u"bad\x0007name";          // a control character
    job.owner = std::u16string(1, 0xD800);    // half a surrogate pair
    job.printer = std::u16string(2000, u'x'); // past the bound
    job.time[1] = 2;
    job.time[3] = 30; // 30 February
    auto parsed = parseShadowFile(build(kServer2003, job));
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->document.empty());
    EXPECT_TRUE(parsed->owner.empty());
    EXPECT_TRUE(parsed->printer.empty());
    EXPECT_FALSE(parsed->submitted);
    EXPECT_EQ(parsed->pages, 3u);

    // A whole pair is text; an offset into the header, past the end, or a string that runs
    // out before its terminator is not.
    job = Job{};
    job.owner = u"\xD83D\xDE00";
    std::vector<std::uint8_t> b = build(kServer2003, job);
    put32(b, kServer2003.document, 8);       // inside the header
    put32(b, kServer2003.printer, b.size()); // just past the end
    b.resize(b.size() - 2);                  // the last string's terminator gone
    parsed = parseShadowFile(b);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->owner.size(), 2u);
    EXPECT_TRUE(parsed->document.empty());
    EXPECT_TRUE(parsed->printer.empty());
}

TEST(ShadowFile, WhatItCannotTellIsNotRecognized) {
    const std::vector<std::uint8_t> good = build(kWindows10, Job{});
    std::vector<std::uint8_t> b = good;
    put32(b, 0, 0x4967); // the Windows 2000 signature: a layout it does not read
    EXPECT_FALSE(parseShadowFile(b));
    b = good;
    put32(b, 4, good.size() + 1); // a header longer than the file
    EXPECT_FALSE(parseShadowFile(b));
    b = good;
    put32(b, 4, 100); // shorter than the fields it reads
    EXPECT_FALSE(parseShadowFile(b));
    b = good;
    put32(b, kWindows10.document + 4, 1); // a 64-bit offset beyond any file
    EXPECT_FALSE(parseShadowFile(b));
    EXPECT_FALSE(parseShadowFile({}));
    EXPECT_FALSE(parseShadowFile({0x68, 0x49, 0, 0, 120}));
}

// Whatever it returns from damaged bytes is still sound: a known layout, bounded printable
// strings, a real time. (That nothing is read past the end, valgrind checks.)
void expectSound(const std::optional<ShadowJob>& job, const std::vector<std::uint8_t>& bytes) {
    if (!job) {
        return;
    }
    ASSERT_GE(bytes.size(), 92u);
    for (const std::wstring* s : {&job->document, &job->owner, &job->printer}) {
        EXPECT_LE(s->size(), 1025u);
        for (const wchar_t c : *s) {
            ASSERT_GE(static_cast<std::uint32_t>(c), 0x20u);
        }
    }
    if (job->submitted) {
        EXPECT_EQ(fileTimeOf(utcTimeOf(*job->submitted)), job->submitted);
    }
}

TEST(ShadowFile, ThousandsOfTruncatedBitFlippedAndRandomFilesNeverCrashOrOverread) {
    std::mt19937 random(20261208);
    for (const Description& d : {kServer2003, kWindows10}) {
        const std::vector<std::uint8_t> good = build(d, Job{});
        for (std::size_t n = 0; n < good.size(); ++n) {
            const std::vector<std::uint8_t> cut(good.begin(), good.begin() + n);
            const auto parsed = parseShadowFile(cut);
            expectSound(parsed, cut);
            if (n < d.header) {
                EXPECT_FALSE(parsed) << n;
            }
        }
        for (int round = 0; round < 3000; ++round) {
            std::vector<std::uint8_t> b = good;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int f = 0; f < flips; ++f) {
                b[random() % b.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            }
            expectSound(parseShadowFile(b), b);
        }
    }
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> b(random() % 400);
        for (auto& byte : b) {
            byte = static_cast<std::uint8_t>(random());
        }
        if (b.size() >= 8) { // a known signature and a plausible header, the rest noise
            put32(b, 0, round % 2 == 0 ? 0x4968 : 0x5123);
            put32(b, 4, random() % (b.size() + 1));
        }
        expectSound(parseShadowFile(b), b);
    }
}

TEST(QueuedJobs, FilesGroupByJobAndTheShadowFileNamesTheDocument) {
    fake::FakeFileSystem files;
    const std::wstring folder = L"C:\\q";
    files.addFileWith(folder, L"FP00017.SHD", build(kServer2003, Job{}));
    files.addFile(folder, L"fp00017.spl", fileattr::kArchive, 1000);
    files.addFileWith(folder, L"00018.SHD", {1, 2, 3});
    files.addFile(folder, L"00018.SPL", fileattr::kArchive, 5);
    auto opened = files.openFolder(folder);
    std::vector<FileEntry> entries;
    ASSERT_EQ(opened->list(entries), 0u);
    const auto jobs = queuedJobs(*opened, entries, 10);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].files.size(), 2u);
    EXPECT_FALSE(jobs[0].shadow);
    ASSERT_TRUE(jobs[1].shadow);
    const fake::FakeStringTable english{fake::FakeStringTable::Language::English};
    const auto lines = jobLines(jobs, 1, english);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(L"00018.SHD, 00018.SPL (8 bytes"), std::wstring::npos) << lines[0];
    EXPECT_EQ(lines[1], L"...and 1 more");
    EXPECT_EQ(jobLines(jobs, 5, english)[1],
              L"季度报告.docx (owner alice, printer HP LaserJet 4, submitted 2026-12-08 04:30:15 "
              L"UTC, 3 pages, 1,180 bytes)"); // both its files, grouped as English groups
    // Shadow files are read for the first jobs only.
    EXPECT_FALSE(queuedJobs(*opened, entries, 1)[1].shadow);
}

} // namespace

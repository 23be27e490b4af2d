// The export pair's file steps on files in memory: where pending text goes, what the scan finds,
// which card parameter blocks are added, and the names of the pair.
#include <gtest/gtest.h>

#include <string>

#include "register/core/UTempExport.h"

using namespace UTempExport;

namespace {

const std::string Header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information>"
                           "<version>1.0</version></document-information>";

std::string Params(const std::string& cert)
{
    return "<qsmParams><qsmVersion>V1</qsmVersion><tpId>T</tpId><tpIdNo>7</tpIdNo><itemProfile>1</itemProfile>"
           "<certificate>" +
           cert + "</certificate></qsmParams>";
}

} // namespace

TEST(ExportPair, TheScanFindsTheFirstWholeRootCloseTagAndTheCertificates)
{
    TMemoryFile f(Header + "<certificateId>A</certificateId><x>a</vantra b></VANTRA>" + Params("C1") +
                  "<certificateId>B</certificateId>" + Params("") + "</vantra>" + Params("C9") + "</vantra>");
    const TRootScan scan = FindRootEnd(f);
    EXPECT_TRUE(scan.found);
    EXPECT_EQ(scan.rootEnd, static_cast<std::int64_t>(f.Bytes().find("</vantra>")));
    EXPECT_EQ(scan.certificateIds, ";A;B;");
    EXPECT_EQ(scan.certificates, (std::vector<std::string>{"C1", ""}));

    TMemoryFile none(Header + "<a>");
    const TRootScan open = FindRootEnd(none);
    EXPECT_FALSE(open.found);
    EXPECT_EQ(open.rootEnd, static_cast<std::int64_t>(none.Bytes().size()));
    EXPECT_EQ(open.certificateIds, ";");
}

TEST(ExportPair, TagsAcrossTheScansReadBlocksAreFound)
{
    // The file is read in blocks of 64 KiB: the tags straddle the first block's end.
    const std::string head = "<vantra>" + std::string(65536 - 8 - 20, 'x');
    TMemoryFile f(head + "<certificate>AB</certificate></vantra>");
    const TRootScan scan = FindRootEnd(f);
    EXPECT_TRUE(scan.found);
    EXPECT_EQ(scan.rootEnd, static_cast<std::int64_t>(head.size() + 29));
    EXPECT_EQ(scan.certificates, std::vector<std::string>{"AB"});
}

TEST(ExportPair, PendingTextGoesBeforeTheCloseTagWithoutTruncating)
{
    TMemoryFile f(Header + "<t>1</t></vantra>\r\n");
    TRootScan scan;
    // An empty pending text rewrites the close tag; the line break stays after it.
    EXPECT_EQ(AppendPendingS(f, "", scan), static_cast<std::int64_t>(Header.size() + 8));
    EXPECT_EQ(f.Bytes(), Header + "<t>1</t></vantra>\r\n");
    // A longer insertion overwrites it.
    EXPECT_EQ(AppendPendingL(f, "<t>2</t>", scan), static_cast<std::int64_t>(Header.size() + 16));
    EXPECT_EQ(f.Bytes(), Header + "<t>1</t><t>2</t></vantra>");
    EXPECT_EQ(AppendPendingL(f, "<u/>", scan), static_cast<std::int64_t>(Header.size() + 20));
    EXPECT_EQ(f.Bytes(), Header + "<t>1</t><t>2</t><u/></vantra>");
}

TEST(ExportPair, AFileWithoutCloseTagGetsTheTextAndANewCloseTagAtItsEnd)
{
    TMemoryFile f(Header + "<t>1</t>");
    TRootScan scan;
    EXPECT_EQ(AppendPending(f, "<t>2</t>", scan), static_cast<std::int64_t>(Header.size() + 16));
    EXPECT_FALSE(scan.found);
    EXPECT_EQ(f.Bytes(), Header + "<t>1</t><t>2</t></vantra>");

    TMemoryFile empty;
    EXPECT_EQ(AppendPending(empty, "<t/>", scan), 4);
    EXPECT_EQ(empty.Bytes(), "<t/></vantra>");
}

TEST(ExportPair, EachDistinctParameterBlockIsWrittenOncePerFile)
{
    // The S file already holds the block of certificate C1, the L file holds none.
    TMemoryFile s(Header + Params("C1") + "<a/></vantra>");
    TMemoryFile l(Header + "<b/></vantra>");
    TRootScan scanS, scanL;
    TMergeTarget ts{s, scanS, AppendPendingS(s, "<a2/>", scanS)};
    TMergeTarget tl{l, scanL, AppendPendingL(l, "", scanL)};
    std::string pending = "junk" + Params("C1") + Params("C2") + Params("C1") + Params("C2") + "<qsmParams><cert";
    MergeCertificates(pending, ts, tl);
    EXPECT_EQ(pending, "");
    EXPECT_EQ(s.Bytes(), Header + Params("C1") + "<a/><a2/>" + Params("C2") + "</vantra>");
    EXPECT_EQ(l.Bytes(), Header + "<b/>" + Params("C1") + Params("C2") + "</vantra>");
    EXPECT_EQ(ts.insertAt, static_cast<std::int64_t>(s.Bytes().size() - 9));
    EXPECT_EQ(tl.insertAt, static_cast<std::int64_t>(l.Bytes().size() - 9));

    // A later flush with the same blocks writes nothing new; a block without a certificate
    // text is one block of its own.
    TRootScan again;
    TMergeTarget ts2{s, again, AppendPending(s, "", again)};
    TRootScan againL;
    TMergeTarget tl2{l, againL, AppendPending(l, "", againL)};
    pending = Params("C2") + Params("") + Params("") + "no block";
    MergeCertificates(pending, ts2, tl2);
    EXPECT_EQ(pending, "");
    EXPECT_EQ(s.Bytes(), Header + Params("C1") + "<a/><a2/>" + Params("C2") + Params("") + "</vantra>");
    EXPECT_EQ(l.Bytes(), Header + "<b/>" + Params("C1") + Params("C2") + Params("") + "</vantra>");
}

TEST(ExportPair, ThePairIsNamedFromTheLastDotOfTheFileName)
{
    std::string s, l;
    for (const char* chosen : {"C:\\Export\\Kasse01L.xml", "C:\\Export\\Kasse01S.xml", "C:\\Export\\Kasse01.xml"}) {
        ExportPairNames(chosen, s, l);
        EXPECT_EQ(s, "C:\\Export\\Kasse01S.xml") << chosen;
        EXPECT_EQ(l, "C:\\Export\\Kasse01L.xml") << chosen;
    }
    ExportPairNames("C:\\Kasse.v2\\Tag.1L.xml", s, l);
    EXPECT_EQ(s, "C:\\Kasse.v2\\Tag.1S.xml");
    EXPECT_EQ(l, "C:\\Kasse.v2\\Tag.1L.xml");
    ExportPairNames("C:\\Kasse.v2\\Journal", s, l);
    EXPECT_EQ(s, "C:\\Kasse.v2\\JournalS");
    EXPECT_EQ(l, "C:\\Kasse.v2\\JournalL");
    // A lower-case letter is part of the name.
    ExportPairNames("C:\\Export\\Kassel.xml", s, l);
    EXPECT_EQ(s, "C:\\Export\\KasselS.xml");
}

#include "FakeExtensionUnit.h"

#include "capture/ExtensionUnitControl.h"

#include <gtest/gtest.h>

namespace {

constexpr ULONG kGet = KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_TOPOLOGY;
constexpr ULONG kSet = KSPROPERTY_TYPE_SET | KSPROPERTY_TYPE_TOPOLOGY;
constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

class ExtensionUnitTest : public testing::Test {
protected:
    ComPtr<FakeExtensionUnit> fake = MakeCom<FakeExtensionUnit>();
    CountingPause pause;
    ExtensionUnitControl unit;
};

TEST_F(ExtensionUnitTest, OpensOnTheFirstDevSpecificNodeThatTakesTheProbe) {
    fake->nodes = {KSNODETYPE_DEV_SPECIFIC, KSNODETYPE_VIDEO_PROCESSING, KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {2};
    fake->MakeScanner();
    ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
    EXPECT_EQ(unit.nodeId, 2);
    // Probes went to the two dev-specific nodes only, as set-support of id 0.
    int probes = 0;
    for (const auto& call : fake->calls) {
        if (call.flags == (KSPROPERTY_TYPE_SETSUPPORT | KSPROPERTY_TYPE_TOPOLOGY)) {
            ++probes;
            EXPECT_EQ(call.id, 0u);
            EXPECT_NE(call.nodeId, 1u);
            EXPECT_EQ(call.dataLength, 4u);
        }
    }
    EXPECT_EQ(probes, 2);
    EXPECT_EQ(unit.Entry(10)->length, 8u);
    EXPECT_EQ(unit.Entry(11)->support, ULONG{KSPROPERTY_TYPE_GET});
}

TEST_F(ExtensionUnitTest, UnusableUnitsFailToOpen) {
    struct Case {
        const char* name;
        std::vector<GUID> nodes;
        std::vector<ULONG> unitNodes;
        int bitmapBytes;
        int pins;
    };
    const Case cases[] = {
        {"no dev-specific node", {KSNODETYPE_VIDEO_CAMERA_TERMINAL}, {0}, 2, 1},
        {"no node takes the probe", {KSNODETYPE_DEV_SPECIFIC}, {}, 2, 1},
        {"empty bitmap", {KSNODETYPE_DEV_SPECIFIC}, {0}, 0, 1},
        {"5-byte bitmap", {KSNODETYPE_DEV_SPECIFIC}, {0}, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake->nodes = c.nodes;
        fake->unitNodes = c.unitNodes;
        fake->MakeScanner();
        fake->infoBlock = FakeExtensionUnit::InfoBlock(2, c.pins, fake->Bitmap(c.bitmapBytes));
        EXPECT_TRUE(FAILED(unit.Open(fake->Unknown())));
        EXPECT_FALSE(unit.IsOpen());
        std::int64_t value = 0;
        EXPECT_EQ(unit.Get(11, &value), E_FAIL);
    }
}

// The bitmap's position comes from the pin count the device reports; a
// count that puts it beyond the returned bytes must not be read.
TEST_F(ExtensionUnitTest, InfoBlockTooShortForItsPinCountIsRejected) {
    fake->nodes = {KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {0};
    fake->MakeScanner();
    for (int pins : {46, 200, 255}) {
        SCOPED_TRACE(pins);
        QByteArray block = FakeExtensionUnit::InfoBlock(2, 1, fake->Bitmap());
        block[17] = static_cast<char>(pins); // claims more source ids than it holds
        fake->infoBlock = block;
        EXPECT_EQ(unit.Open(fake->Unknown()), E_FAIL);
    }
}

TEST_F(ExtensionUnitTest, LearnsSupportAndLengthPerControl) {
    fake->nodes = {KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {0};
    using C = FakeExtensionUnit::Control;
    const HRESULT moreData = HRESULT_FROM_WIN32(ERROR_MORE_DATA);
    const HRESULT insufficient = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    fake->controls = {
        {1, C{3, false, 2, {}, moreData, 0}},     // plain
        {2, C{3, false, 4, {}, insufficient, 0}}, // the other size answer
        {3, C{3, true, 1, {}, moreData, 0}},      // basic support fails
        {4, C{1, false, 1, {}, S_OK, 0}},         // answers without a size
        {5, C{3, false, 1, {}, E_FAIL, 0}},       // length query fails
        {6, C{3, false, 2, {}, moreData, 3}},     // busy three times, then fine
        {7, C{3, false, 1, {}, moreData, -1}},    // never ready
    };
    fake->infoBlock = FakeExtensionUnit::InfoBlock(7, 1, fake->Bitmap(1));
    ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);

    struct Expect {
        ULONG id;
        ULONG support;
        ULONG length;
        int lengthQueries;
    };
    const Expect expected[] = {
        {1, 3, 2, 1}, {2, 3, 4, 1}, {3, 0, 0, 0},  {4, 1, 0, 1},
        {5, 0, 0, 1}, {6, 3, 2, 4}, {7, 0, 0, 10},
    };
    int totalQueries = 0;
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.id);
        EXPECT_EQ(unit.Entry(e.id)->support, e.support);
        EXPECT_EQ(unit.Entry(e.id)->length, e.length);
        EXPECT_EQ(fake->CountCalls(e.id, kGet, false), e.lengthQueries);
        totalQueries += e.lengthQueries;
    }
    // Every length request is followed by one pause.
    EXPECT_EQ(pause.Count(), totalQueries);
}

TEST_F(ExtensionUnitTest, StopsAtTheNumberOfControlsTheBlockGives) {
    fake->nodes = {KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {0};
    fake->controls[1] = {};
    fake->controls[2] = {};
    fake->controls[3] = {};
    fake->infoBlock = FakeExtensionUnit::InfoBlock(2, 1, fake->Bitmap(1));
    ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
    EXPECT_EQ(unit.Entry(2)->length, 1u);
    EXPECT_EQ(unit.Entry(3)->support, 0u);
    EXPECT_EQ(fake->CountCalls(3, KSPROPERTY_TYPE_BASICSUPPORT | KSPROPERTY_TYPE_TOPOLOGY, true),
              0);
}

TEST_F(ExtensionUnitTest, GetSignExtendsByLengthAndSetWritesTheLowBytes) {
    fake->nodes = {KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {0};
    struct Case {
        ULONG length;
        QByteArray bytes;
        HRESULT getResult;
        std::int64_t value;
    };
    const Case cases[] = {
        {1, QByteArray("\xFF", 1), S_OK, -1},
        {1, QByteArray("\x7F", 1), S_OK, 127},
        {2, QByteArray("\x00\x80", 2), S_OK, -32768},
        {4, QByteArray("\xFE\xFF\xFF\xFF", 4), S_OK, -2},
        {4, QByteArray("\x01\x02\x03\x04", 4), S_OK, 0x04030201},
        {8, QByteArray("\x88\x77\x66\x55\x44\x33\x22\x81", 8), S_OK,
         static_cast<std::int64_t>(0x8122334455667788ull)},
        {3, QByteArray("\x01\x02\x03", 3), E_FAIL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        fake->controls.clear();
        fake->controls[5] = {3, false, c.length, c.bytes};
        fake->infoBlock = FakeExtensionUnit::InfoBlock(1, 1, fake->Bitmap(1));
        ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
        std::int64_t value = 0;
        EXPECT_EQ(unit.Get(5, &value), c.getResult);
        if (c.getResult == S_OK) {
            EXPECT_EQ(value, c.value);
        }

        const std::int64_t written = 0x1122334455667788;
        EXPECT_EQ(unit.Set(5, written), c.getResult);
        if (c.getResult == S_OK) {
            QByteArray low(reinterpret_cast<const char*>(&written), static_cast<int>(c.length));
            EXPECT_EQ(fake->controls[5].bytes, low);
        }
    }
}

TEST_F(ExtensionUnitTest, AccessRightsAndUnopenedUnit) {
    std::int64_t value = 0;
    EXPECT_EQ(unit.Get(10, &value), E_FAIL);
    EXPECT_EQ(unit.Set(10, 1), E_FAIL);

    fake->nodes = {KSNODETYPE_DEV_SPECIFIC};
    fake->unitNodes = {0};
    fake->controls[1] = {KSPROPERTY_TYPE_GET, false, 1, {}}; // read only
    fake->controls[2] = {KSPROPERTY_TYPE_SET, false, 1, {}}; // write only
    fake->infoBlock = FakeExtensionUnit::InfoBlock(2, 1, fake->Bitmap(1));
    ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
    EXPECT_EQ(unit.Set(1, 1), kNotFound);
    EXPECT_EQ(unit.Get(2, &value), kNotFound);
    EXPECT_EQ(unit.Get(3, &value), kNotFound); // absent
    // Ids outside the table are refused, not looked up.
    EXPECT_EQ(unit.Get(0, &value), kNotFound);
    EXPECT_EQ(unit.Set(33, 1), kNotFound);
    EXPECT_EQ(unit.Get(1, &value), S_OK);
    EXPECT_EQ(unit.Set(2, 1), S_OK);
}

TEST_F(ExtensionUnitTest, IdentityQuery) {
    struct Case {
        const char* name;
        QByteArray answer;
        ULONG answerLength;
        ULONG answerSupport;
        bool scanner;
        bool reset; // the command control is read and set to 0xFF afterwards
    };
    const Case cases[] = {
        {"scanner", QByteArray("REALSIL\0", 8), 8, KSPROPERTY_TYPE_GET, true, false},
        {"no zero byte", QByteArray("REALSILX", 8), 8, KSPROPERTY_TYPE_GET, false, false},
        {"other vendor", QByteArray("OTHERCO\0", 8), 8, KSPROPERTY_TYPE_GET, false, false},
        {"4-byte answer", QByteArray("REAL", 4), 4, KSPROPERTY_TYPE_GET, false, false},
        {"answer not readable", QByteArray("REALSIL\0", 8), 8, KSPROPERTY_TYPE_SET, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake->calls.clear();
        fake->MakeScanner(c.answer);
        fake->controls[11].length = c.answerLength;
        fake->controls[11].support = c.answerSupport;
        ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
        fake->calls.clear();
        EXPECT_EQ(IsScannerChip(unit), c.scanner);
        // The command went out first, as the control's 8 bytes.
        ASSERT_FALSE(fake->calls.empty());
        EXPECT_EQ(fake->calls[0].id, 10u);
        EXPECT_EQ(fake->calls[0].flags, kSet);
        EXPECT_EQ(fake->CountCalls(10, kGet, true), c.reset ? 1 : 0);
        const QByteArray command = fake->controls[10].bytes;
        if (c.reset)
            EXPECT_EQ(command, QByteArray("\xFF\0\0\0\0\0\0\0", 8));
        else
            EXPECT_EQ(command, QByteArray("\xD0\0\0\0\x08\0\0\0", 8));
    }
}

TEST_F(ExtensionUnitTest, CommandSentAsTheControlsLength) {
    fake->MakeScanner();
    fake->controls[10].length = 4;
    ASSERT_EQ(unit.Open(fake->Unknown()), S_OK);
    EXPECT_TRUE(IsScannerChip(unit));
    EXPECT_EQ(fake->controls[10].bytes, QByteArray("\xD0\0\0\0", 4));
}

} // namespace

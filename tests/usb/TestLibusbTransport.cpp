#include "link/TAdapterProtocol.h"
#include "link/TLibusbTransport.h"
#include "link/TLinkMsg.h"
#include "sim/TSimAdapter.h"
#include "tests/support/TMessageLog.h"
#include "tests/usb/TUsbTestbed.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <ostream>
#include <vector>

namespace {

// Short enough that a time-out costs the suite nothing.
constexpr uint32_t kTimeoutMs = 50;
constexpr uint8_t kResetEpIn = 0x85; // the link's addresses after its reset
constexpr uint8_t kResetEpOut = 0x02;

class LibusbTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TUsbTestbed::PreloadActive())
            GTEST_SKIP() << TUsbTestbed::kUnavailable;
        bed = std::make_unique<TUsbTestbed>();
    }

    // libusb goes before the bus it looks at.
    void TearDown() override
    {
        transport.reset();
        bed.reset();
    }

    // The transport is made at the first open, after the devices are on the bus.
    TOpenOutcome Open()
    {
        if (!transport)
            transport = std::make_unique<TLibusbTransport>();
        return transport->Open(epIn, epOut);
    }

    bool Request(uint8_t bmRequestType, TAdapterCmd& cmd)
    {
        uint8_t block[kAdapterCmdSize];
        cmd.ToBytes(block);
        const bool ok = transport->VendorRequest(bmRequestType, uint8_t(cmd.Code), 0, 0, block,
                                                 kAdapterCmdSize, kTimeoutMs);
        if (ok && (bmRequestType & 0x80))
            cmd = TAdapterCmd::FromBytes(block);
        return ok;
    }

    // Has the adapter hold `message` for the next bulk IN transfers, the way the link does it.
    void ArmMessage(TEmulatedAdapter& adapter, const std::vector<uint8_t>& message)
    {
        adapter.Sim().QueueMessage(message.data(), message.size());
        TAdapterCmd poll { rqPoll, 0, 0 };
        ASSERT_TRUE(Request(kRequestTypeIn, poll));
        ASSERT_EQ(poll.Code, uint32_t(rqPoll));
        ASSERT_EQ(poll.Count, message.size());
        TAdapterCmd fetch = poll;
        fetch.Code = rqFetch;
        ASSERT_TRUE(Request(kRequestTypeOut, fetch));
    }

    std::unique_ptr<TUsbTestbed> bed;
    std::unique_ptr<TLibusbTransport> transport;
    uint8_t epIn = kResetEpIn;
    uint8_t epOut = kResetEpOut;
};

// Failures name the row.
template <class TRow>
auto operator<<(std::ostream& os, const TRow& row) -> decltype(row.name, os)
{
    return os << row.name;
}

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = uint8_t(0x30 + i);
    return bytes;
}

// --- which device is opened -------------------------------------------------------------------

struct ProductIdCase {
    const char* name;
    std::vector<uint16_t> present; // product ids of vendor 0xFFFF, in the order plugged in
    TOpenOutcome outcome;
    int opened; // index into `present`, -1 for none
};

class LibusbProductIdTest : public LibusbTransportTest,
                            public ::testing::WithParamInterface<ProductIdCase> {};

TEST_P(LibusbProductIdTest, OpensTheFirstProductIdPresent)
{
    const ProductIdCase& c = GetParam();
    std::vector<TEmulatedAdapter*> adapters;
    for (const uint16_t pid : c.present)
        adapters.push_back(&bed->Add(pid));

    EXPECT_EQ(Open(), c.outcome);
    for (size_t i = 0; i < adapters.size(); ++i) {
        SCOPED_TRACE("adapter with product id " + std::to_string(adapters[i]->ProductId()));
        const auto seen = adapters[i]->Counters();
        if (int(i) == c.opened) {
            EXPECT_EQ(seen.setConfiguration, 1);
            EXPECT_EQ(seen.lastConfiguration, TLibusbTransport::kConfiguration);
            EXPECT_EQ(seen.lastClaimed, TLibusbTransport::kInterface);
        } else {
            EXPECT_EQ(seen.ioctls, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbProductIdTest,
    ::testing::Values(
        ProductIdCase { "Only0033", { 0x0033 }, TOpenOutcome::Opened, 0 },
        ProductIdCase { "Only0010", { 0x0010 }, TOpenOutcome::Opened, 0 },
        ProductIdCase { "Both0010PluggedFirst", { 0x0010, 0x0033 }, TOpenOutcome::Opened, 1 },
        ProductIdCase { "Both0033PluggedFirst", { 0x0033, 0x0010 }, TOpenOutcome::Opened, 0 },
        ProductIdCase { "OtherProductId", { 0x0034 }, TOpenOutcome::NotFound, -1 },
        ProductIdCase { "NoDevice", {}, TOpenOutcome::NotFound, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

// --- the USB shape and the endpoints ----------------------------------------------------------

TUsbInterface Interface(std::vector<TUsbEndpoint> endpoints)
{
    TUsbInterface interface;
    interface.altSettings.push_back({ std::move(endpoints) });
    return interface;
}

const TUsbEndpoint kBulkIn { 0x81, TUsbShape::kBulk };
const TUsbEndpoint kBulkOut { 0x01, TUsbShape::kBulk };
const TUsbEndpoint kBulkIn82 { 0x82, TUsbShape::kBulk };
const TUsbEndpoint kBulkOut03 { 0x03, TUsbShape::kBulk };
const TUsbEndpoint kInterruptIn { 0x83, TUsbShape::kInterrupt };
const TUsbEndpoint kInterruptOut { 0x04, TUsbShape::kInterrupt };
constexpr TOpenOutcome kOpened = TOpenOutcome::Opened;
constexpr TOpenOutcome kSetupFailed = TOpenOutcome::SetupFailed;

TUsbShape Single(std::vector<TUsbEndpoint> endpoints)
{
    return TUsbShape::SingleSetting(std::move(endpoints));
}

TUsbShape TwoInterfaces()
{
    return TUsbShape { { Interface({ kBulkIn, kBulkOut }),
                         Interface({ kInterruptIn, kInterruptOut }) } };
}

TUsbShape TwoAltSettings()
{
    TUsbInterface interface = Interface({ kBulkIn, kBulkOut });
    interface.altSettings.push_back({ { kBulkIn, kBulkOut } });
    return TUsbShape { { interface } };
}

struct ShapeCase {
    const char* name;
    TUsbShape shape;
    TOpenOutcome outcome;
    uint8_t epIn, epOut; // after the open
};

class LibusbShapeTest : public LibusbTransportTest,
                        public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(LibusbShapeTest, ScansTheEndpointsOfTheAdapterShapeOnly)
{
    const ShapeCase& c = GetParam();
    TEmulatedAdapter& adapter = bed->Add(0x0033, c.shape);

    EXPECT_EQ(Open(), c.outcome);
    EXPECT_EQ(epIn, c.epIn);
    EXPECT_EQ(epOut, c.epOut);
    // The device opened, was configured and its interface claimed, whatever its shape.
    EXPECT_EQ(adapter.Counters().setConfiguration, 1);
    EXPECT_EQ(adapter.Counters().claims, 1);
    transport->Close();
    EXPECT_EQ(adapter.Counters().releases, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbShapeTest,
    ::testing::Values(
        ShapeCase { "BulkInAndOut", TUsbShape::Adapter(), kOpened, 0x81, 0x01 },
        ShapeCase { "BulkAtOtherAddresses", Single({ kBulkIn82, kBulkOut03 }), kOpened, 0x82,
                    0x03 },
        ShapeCase { "TwoInterruptEndpoints", Single({ kInterruptIn, kInterruptOut }), kOpened,
                    kResetEpIn, kResetEpOut },
        ShapeCase { "InterruptInBesideBulkOut", Single({ kInterruptIn, kBulkOut }), kOpened,
                    kResetEpIn, 0x01 },
        ShapeCase { "TwoBulkInTheLaterWins", Single({ kBulkIn, kBulkIn82 }), kOpened, 0x82,
                    kResetEpOut },
        ShapeCase { "TwoInterfaces", TwoInterfaces(), kSetupFailed, kResetEpIn, kResetEpOut },
        ShapeCase { "TwoAlternateSettings", TwoAltSettings(), kSetupFailed, kResetEpIn,
                    kResetEpOut },
        ShapeCase { "ThreeEndpoints", Single({ kBulkIn, kBulkOut, kInterruptIn }), kSetupFailed,
                    kResetEpIn, kResetEpOut },
        ShapeCase { "OneEndpoint", Single({ kBulkIn }), kSetupFailed, kResetEpIn, kResetEpOut }),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    unsigned long request;
    int configured; // configurations the device took before the refusal
};

class LibusbSetupRefusedTest : public LibusbTransportTest,
                               public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(LibusbSetupRefusedTest, RefusedSetupFailsTheOpen)
{
    const RefusalCase& c = GetParam();
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    adapter.RefuseIoctl(c.request, EBUSY);

    EXPECT_EQ(Open(), TOpenOutcome::SetupFailed);
    EXPECT_EQ(epIn, kResetEpIn);
    EXPECT_EQ(epOut, kResetEpOut);
    EXPECT_EQ(adapter.Counters().refused, 1);
    EXPECT_EQ(adapter.Counters().setConfiguration, c.configured);
    EXPECT_EQ(adapter.Counters().claims, 0);
    // Nothing was claimed, so the close releases nothing.
    transport->Close();
    EXPECT_EQ(adapter.Counters().releases, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbSetupRefusedTest,
    ::testing::Values(RefusalCase { "ConfigurationRefused", USBDEVFS_SETCONFIGURATION, 0 },
                      RefusalCase { "InterfaceRefused", USBDEVFS_CLAIMINTERFACE, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

// --- the primitives ---------------------------------------------------------------------------

constexpr uint8_t kIn = kRequestTypeIn;
constexpr uint8_t kOut = kRequestTypeOut;

struct RequestCase {
    const char* name;
    uint32_t faults;
    bool messageWaiting;
    uint8_t bmRequestType;
    TAdapterRequest request;
    bool ok;
    uint32_t answerCode; // IN requests that succeed
    uint32_t answerCount;
};

class LibusbVendorRequestTest : public LibusbTransportTest,
                                public ::testing::WithParamInterface<RequestCase> {};

TEST_P(LibusbVendorRequestTest, CarriesTheCommandBlockBothWays)
{
    const RequestCase& c = GetParam();
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    adapter.Sim().SetFaults(c.faults);
    if (c.messageWaiting) {
        const std::vector<uint8_t> message = Pattern(kLinkMsgSize);
        adapter.Sim().QueueMessage(message.data(), message.size());
    }

    TAdapterCmd cmd { c.request, 0, 0 };
    EXPECT_EQ(Request(c.bmRequestType, cmd), c.ok);
    if (c.ok && (c.bmRequestType & 0x80)) {
        EXPECT_EQ(cmd.Code, c.answerCode);
        EXPECT_EQ(cmd.Count, c.answerCount);
    }
    const auto seen = adapter.Sim().Counters();
    EXPECT_EQ(seen.poll + seen.info + seen.txReady, 1) << "the request reached the adapter";
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbVendorRequestTest,
    ::testing::Values(
        RequestCase { "PollWithMessageWaiting", 0, true, kIn, rqPoll, true, rqPoll, 66 },
        RequestCase { "PollWithNothingWaiting", 0, false, kIn, rqPoll, true, 0, 0 },
        RequestCase { "PollStalls", TSimAdapter::fFailPoll, true, kIn, rqPoll, false, 0, 0 },
        RequestCase { "TxReadyBusy", TSimAdapter::fTxBusy, false, kIn, rqTxReady, true, 1, 0 },
        RequestCase { "InfoTaken", 0, false, kOut, rqInfo, true, 0, 0 },
        RequestCase { "InfoStalls", TSimAdapter::fFailInfo, false, kOut, rqInfo, false, 0, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

enum class TArm { InfoBlock, Message64, Nothing };

struct ReadCase {
    const char* name;
    TArm arm;
    uint32_t asked;
    int32_t result;
    int partBeforeTimeout; // bytes the transfer held when the time-out discarded it; -1: none
};

class LibusbBulkReadTest : public LibusbTransportTest,
                           public ::testing::WithParamInterface<ReadCase> {};

TEST_P(LibusbBulkReadTest, DeliversWholeTransfersOnly)
{
    const ReadCase& c = GetParam();
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    const std::vector<uint8_t> message = Pattern(64);
    if (c.arm == TArm::Message64)
        ArmMessage(adapter, message);
    if (c.arm == TArm::InfoBlock) {
        TAdapterCmd info { rqInfo, 0, 0 };
        ASSERT_TRUE(Request(kRequestTypeOut, info));
    }

    std::vector<uint8_t> buffer(256, 0);
    EXPECT_EQ(transport->BulkRead(epIn, buffer.data(), c.asked, kTimeoutMs), c.result);
    if (c.result > 0 && c.arm == TArm::Message64) {
        EXPECT_TRUE(std::equal(message.begin(), message.end(), buffer.begin()));
    }
    if (c.result > 0 && c.arm == TArm::InfoBlock) {
        EXPECT_EQ(ReadU32Le(buffer.data()), 0x0171u); // the simulated firmware's version
    }
    const auto seen = adapter.Counters();
    EXPECT_EQ(seen.discards, c.partBeforeTimeout >= 0 ? 1 : 0);
    if (c.partBeforeTimeout >= 0) {
        EXPECT_EQ(seen.discardedBytes, c.partBeforeTimeout);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbBulkReadTest,
    ::testing::Values(ReadCase { "ShortPacketEndsTheTransfer", TArm::InfoBlock, 128, 20, -1 },
                      ReadCase { "WholeMessage", TArm::Message64, 64, 64, -1 },
                      ReadCase { "PartThenTimeOut", TArm::Message64, 128, -1, 64 },
                      ReadCase { "NothingThenTimeOut", TArm::Nothing, 64, -1, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    uint32_t faults;
    uint32_t announced; // the n of rqSend
    uint32_t written;
    int32_t result;
};

class LibusbBulkWriteTest : public LibusbTransportTest,
                            public ::testing::WithParamInterface<WriteCase> {};

TEST_P(LibusbBulkWriteTest, WritesAnnouncedRecords)
{
    const WriteCase& c = GetParam();
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    adapter.Sim().SetFaults(c.faults);
    const std::vector<uint8_t> record = { mtFrame, 4, 0x01, 0x21, 0x00, 0x04 };

    TAdapterCmd send { rqSend, 0, c.announced };
    ASSERT_TRUE(Request(kRequestTypeOut, send));
    EXPECT_EQ(transport->BulkWrite(epOut, record.data(), c.written, kTimeoutMs), c.result);
    const auto sent = adapter.Sim().SentRecords();
    if (c.result > 0) {
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0], std::vector<uint8_t>(record.begin(), record.begin() + c.written));
    } else {
        EXPECT_TRUE(sent.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Usb, LibusbBulkWriteTest,
    ::testing::Values(WriteCase { "AnnouncedRecord", 0, 6, 6, 6 },
                      WriteCase { "AdapterRefuses", TSimAdapter::fFailBulkWrite, 6, 6, -1 },
                      WriteCase { "LengthNotAnnounced", 0, 6, 5, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

// --- with nothing open ------------------------------------------------------------------------

enum class TBefore { NeverOpened, NotFound, Closed };

void PrintTo(const TBefore& before, std::ostream* os)
{
    switch (before) {
    case TBefore::NeverOpened: *os << "NeverOpened"; return;
    case TBefore::NotFound: *os << "NotFound"; return;
    case TBefore::Closed: *os << "Closed"; return;
    }
    *os << int(before);
}

class LibusbNothingOpenTest : public LibusbTransportTest,
                              public ::testing::WithParamInterface<TBefore> {};

TEST_P(LibusbNothingOpenTest, PrimitivesFailWithoutUsbTraffic)
{
    TEmulatedAdapter& adapter = bed->Add(GetParam() == TBefore::NotFound ? 0x0034 : 0x0033);
    transport = std::make_unique<TLibusbTransport>();
    if (GetParam() != TBefore::NeverOpened) {
        EXPECT_EQ(Open(), GetParam() == TBefore::NotFound ? TOpenOutcome::NotFound
                                                           : TOpenOutcome::Opened);
        transport->Close();
    }
    const int before = adapter.Counters().ioctls;

    uint8_t block[kAdapterCmdSize] = { rqPoll };
    uint8_t buffer[kLinkMsgSize] = {};
    EXPECT_FALSE(transport->VendorRequest(kRequestTypeIn, rqPoll, 0, 0, block, kAdapterCmdSize,
                                          kTimeoutMs));
    EXPECT_EQ(transport->BulkRead(0x81, buffer, sizeof buffer, kTimeoutMs), -1);
    EXPECT_EQ(transport->BulkWrite(0x01, buffer, sizeof buffer, kTimeoutMs), -1);
    transport->Close();
    EXPECT_EQ(adapter.Counters().ioctls, before);
    EXPECT_EQ(transport->Kind(), beLibusb);
}

INSTANTIATE_TEST_SUITE_P(Usb, LibusbNothingOpenTest,
                         ::testing::Values(TBefore::NeverOpened, TBefore::NotFound,
                                           TBefore::Closed),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

TEST_F(LibusbTransportTest, SecondCloseReleasesNothingTwice)
{
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);

    transport->Close();
    transport->Close();
    EXPECT_EQ(adapter.Counters().releases, 1);

    // The transport opens again after it.
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    EXPECT_EQ(adapter.Counters().claims, 2);
    transport->Close();
    EXPECT_EQ(adapter.Counters().releases, 2);
}

TEST_F(LibusbTransportTest, OpeningAgainReleasesTheHandleStillHeld)
{
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    ASSERT_EQ(Open(), TOpenOutcome::Opened);
    EXPECT_EQ(adapter.Counters().releases, 1);
    EXPECT_EQ(adapter.Counters().claims, 2);
}

} // namespace

namespace {

// A node that cannot be opened for another reason than its mode (here a folder where the node
// should be) is an open failure, not a missing adapter, and its libusb error is logged.
TEST_F(LibusbTransportTest, NodeThatCannotBeOpenedIsAnOpenFailure)
{
    TEmulatedAdapter& adapter = bed->Add(0x0033);
    const std::string node = bed->NodeFile(adapter);
    ASSERT_EQ(unlink(node.c_str()), 0);
    ASSERT_EQ(mkdir(node.c_str(), 0755), 0);
    const TMessageLog log;
    EXPECT_EQ(Open(), TOpenOutcome::OpenFailed);
    EXPECT_EQ(adapter.Counters().ioctls, 0);
    EXPECT_EQ(log.Count(QStringLiteral(
                  R"(^brevon\.usb: libusb_open of the adapter ffff:0033 on bus 001 device 001 failed: LIBUSB_ERROR_\w+$)")),
              1)
        << log.Lines().join(u'\n').toStdString();
    // The same failure again is not warned about a second time.
    EXPECT_EQ(Open(), TOpenOutcome::OpenFailed);
    EXPECT_EQ(log.Lines().size(), 1);
}

} // namespace

#include "tests/usb/TUsbShape.h"

#include <cstdio>

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

} // namespace

TUsbShape TUsbShape::Adapter()
{
    return SingleSetting({ { 0x81, kBulk }, { 0x01, kBulk } });
}

TUsbShape TUsbShape::SingleSetting(std::vector<TUsbEndpoint> endpoints)
{
    TUsbAltSetting setting;
    setting.endpoints = std::move(endpoints);
    TUsbInterface interface;
    interface.altSettings.push_back(std::move(setting));
    TUsbShape shape;
    shape.interfaces.push_back(std::move(interface));
    return shape;
}

std::vector<uint8_t> TUsbShape::Descriptors(uint16_t vendorId, uint16_t productId) const
{
    std::vector<uint8_t> out = { 18, 1 }; // device
    PutU16(out, 0x0110);                  // bcdUSB 1.1
    out.insert(out.end(), { 0xFF, 0x00, 0x00, uint8_t(kMaxPacketSize) });
    PutU16(out, vendorId);
    PutU16(out, productId);
    PutU16(out, 0x0100); // bcdDevice
    out.insert(out.end(), { 0, 0, 0, 1 }); // no strings, one configuration

    const size_t config = out.size();
    out.insert(out.end(), { 9, 2, 0, 0, uint8_t(interfaces.size()), 1, 0, 0x80, 50 });
    for (size_t i = 0; i < interfaces.size(); ++i) {
        const auto& settings = interfaces[i].altSettings;
        for (size_t a = 0; a < settings.size(); ++a) {
            out.insert(out.end(), { 9, 4, uint8_t(i), uint8_t(a),
                                    uint8_t(settings[a].endpoints.size()), 0xFF, 0, 0, 0 });
            for (const TUsbEndpoint& ep : settings[a].endpoints) {
                out.insert(out.end(), { 7, 5, ep.address, ep.attributes });
                PutU16(out, kMaxPacketSize);
                out.push_back(ep.attributes == kInterrupt ? 10 : 0); // bInterval
            }
        }
    }
    const uint16_t total = uint16_t(out.size() - config);
    out[config + 2] = uint8_t(total);
    out[config + 3] = uint8_t(total >> 8);
    return out;
}

std::string TUsbShape::DescriptorsHex(uint16_t vendorId, uint16_t productId) const
{
    std::string hex;
    for (const uint8_t b : Descriptors(vendorId, productId)) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

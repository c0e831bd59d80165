#pragma once

#include "link/TKorvelComm.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimTransport.h"

#include <gtest/gtest.h>

#include <memory>

// A link on the simulated adapter whose ticks the test gives by hand.
class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override { Build(); }

    void Build()
    {
        link.reset();
        adapter = std::make_shared<TSimAdapter>();
        auto t = std::make_unique<TSimTransport>(adapter);
        transport = t.get();
        TKorvelComm::TTransports ts;
        ts.push_back(std::move(t));
        link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false });
        link->OnLinkData = [this] { ++announcements; };
    }

    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            link->Tick();
            link->WaitIdle();
        }
    }

    // Open, read the information block and make the first poll pass.
    void OpenAndPoll()
    {
        Ticks(4);
        ASSERT_EQ(link->GetLinkStatus(), lkAdapterReady);
        Ticks(2);
        ASSERT_EQ(link->Phase(), phInfo);
    }

    void Feed(std::initializer_list<uint8_t> bytes)
    {
        const std::vector<uint8_t> v(bytes);
        adapter->FeedSerial(v.data(), v.size());
    }

    static TLinkMsg Record(uint8_t type, std::initializer_list<uint8_t> data)
    {
        TLinkMsg m;
        m.Type = type;
        m.Len = uint8_t(data.size());
        int i = 0;
        for (uint8_t b : data)
            m.Data[i++] = b;
        return m;
    }

    std::shared_ptr<TSimAdapter> adapter;
    TSimTransport* transport = nullptr;
    std::unique_ptr<TKorvelComm> link;
    int announcements = 0;
};

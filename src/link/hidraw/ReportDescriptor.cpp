// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace kvt {

namespace {

// Item types and tags of short items (prefix byte: tag in bits 4..7, type in bits 2..3).
constexpr int MainItem = 0;
constexpr int GlobalItem = 1;

constexpr int TagInput = 0x8;
constexpr int TagOutput = 0x9;
constexpr int TagFeature = 0xB;
constexpr int TagCollection = 0xA;
constexpr int TagEndCollection = 0xC;

constexpr int TagReportSize = 0x7;
constexpr int TagReportId = 0x8;
constexpr int TagReportCount = 0x9;
constexpr int TagPush = 0xA;
constexpr int TagPop = 0xB;

constexpr quint8 LongItemPrefix = 0xFE;
constexpr std::uint64_t MaxReportBits = std::uint64_t{65535} * 8;

// The part of the global state that decides report sizes; Push and Pop save and restore it.
struct GlobalState {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

// Bits declared per report ID (index 0: reports before any Report ID item).
using BitsPerId = std::array<std::uint64_t, 256>;

int lengthOf(const BitsPerId& bits) {
    std::uint64_t largest = 0;
    bool any = false;
    for (std::uint64_t b : bits) {
        any = any || b > 0;
        largest = std::max(largest, b);
    }
    return any ? static_cast<int>((largest + 7) / 8) + 1 : 0;
}

} // namespace

std::optional<ReportLayout> parseReportDescriptor(std::span<const quint8> descriptor) {
    if (descriptor.empty())
        return std::nullopt;

    GlobalState state;
    std::vector<GlobalState> stack;
    BitsPerId inputBits{};
    BitsPerId outputBits{};
    bool usesReportIds = false;
    int openCollections = 0;
    bool declaresReports = false;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const quint8 prefix = descriptor[pos];
        if (prefix == LongItemPrefix) {
            // Long item: prefix, data size, long tag, data. Nothing in it affects report sizes.
            if (descriptor.size() - pos < 3)
                return std::nullopt;
            const std::size_t dataSize = descriptor[pos + 1];
            if (descriptor.size() - pos - 3 < dataSize)
                return std::nullopt;
            pos += 3 + dataSize;
            continue;
        }

        const std::size_t sizeCode = prefix & 0x03;
        const std::size_t dataSize = sizeCode == 3 ? 4 : sizeCode;
        if (descriptor.size() - pos - 1 < dataSize)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < dataSize; ++i)
            value |= std::uint32_t{descriptor[pos + 1 + i]} << (8 * i);
        pos += 1 + dataSize;

        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == MainItem) {
            declaresReports = declaresReports || tag == TagInput || tag == TagOutput || tag == TagFeature;
            if (tag == TagInput || tag == TagOutput) {
                BitsPerId& bits = tag == TagInput ? inputBits : outputBits;
                std::uint64_t& total = bits[state.reportId];
                total += std::uint64_t{state.reportSize} * state.reportCount;
                if (total > MaxReportBits)
                    return std::nullopt;
            } else if (tag == TagCollection) {
                ++openCollections;
            } else if (tag == TagEndCollection) {
                if (--openCollections < 0)
                    return std::nullopt;
            }
        } else if (type == GlobalItem) {
            switch (tag) {
            case TagReportSize:
                state.reportSize = value;
                break;
            case TagReportCount:
                state.reportCount = value;
                break;
            case TagReportId:
                if (value == 0 || value > 255)
                    return std::nullopt;
                state.reportId = value;
                usesReportIds = true;
                break;
            case TagPush:
                stack.push_back(state);
                break;
            case TagPop:
                if (stack.empty())
                    return std::nullopt;
                state = stack.back();
                stack.pop_back();
                break;
            default:
                break;
            }
        }
        // Local items and reserved types do not affect report sizes.
    }
    if (openCollections != 0 || !declaresReports)
        return std::nullopt;

    return ReportLayout{usesReportIds, lengthOf(inputBits), lengthOf(outputBits)};
}

} // namespace kvt

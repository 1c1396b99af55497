#include "meshglass/ModelFile.hpp"

#include <cstring>
#include <fstream>
#include <system_error>

namespace meshglass {

namespace {

constexpr std::uint64_t BudgetSlack = 64 * 1024;
constexpr std::uint64_t BudgetFactor = 4;

} // namespace

ModelFile::ModelFile(std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)), budget_(bytes_.size() * BudgetFactor + BudgetSlack) {}

std::optional<ModelFile> ModelFile::open(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MaxModelFileSize) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        return std::nullopt;
    }
    return ModelFile(std::move(bytes));
}

bool ModelFile::seek(std::int64_t offset) {
    if (offset < 0 || std::uint64_t(offset) > bytes_.size()) {
        return false;
    }
    position_ = std::uint64_t(offset);
    return true;
}

bool ModelFile::read(std::span<std::uint8_t> out) {
    if (out.size() > bytes_.size() - position_) {
        return false;
    }
    if (!out.empty()) {
        std::memcpy(out.data(), bytes_.data() + position_, out.size());
    }
    position_ += out.size();
    return true;
}

std::span<const std::uint8_t> ModelFile::take(std::size_t n) {
    if (n > bytes_.size() - position_) {
        return {};
    }
    const std::span<const std::uint8_t> taken(bytes_.data() + position_, n);
    position_ += n;
    return taken;
}

bool ModelFile::readByte(std::uint8_t& value) {
    if (position_ >= bytes_.size()) {
        return false;
    }
    value = bytes_[position_++];
    return true;
}

bool ModelFile::holds(std::int64_t offset, std::int64_t count, std::int64_t recordSize) const {
    if (offset < 0 || count < 0 || recordSize < 0 || std::uint64_t(offset) > bytes_.size()) {
        return false;
    }
    const std::uint64_t room = bytes_.size() - std::uint64_t(offset);
    return recordSize == 0 || std::uint64_t(count) <= room / std::uint64_t(recordSize);
}

void ModelFile::reportError() {
    ++errors_;
    if (onError) {
        onError(ReadErrorText);
    }
}

bool ModelFile::spend(std::uint64_t bytes) {
    if (bytes > budget_) {
        budget_ = 0;
        return false;
    }
    budget_ -= bytes;
    return true;
}

} // namespace meshglass

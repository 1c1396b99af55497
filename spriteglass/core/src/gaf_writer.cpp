#include "spriteglass/gaf_writer.hpp"

#include "spriteglass/gaf_load_context.hpp"
#include "spriteglass/run_length_encoder.hpp"
#include "spriteglass/text.hpp"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace spriteglass {

namespace {

constexpr int kNameSize = 32;
constexpr std::int32_t kAnimatedTag = 2;

// The run-length rows of every frame stored that way, encoded before the file
// is laid out, each in its own place of one buffer: frames are independent,
// so a large file's frames are encoded on all cores. A frame whose rows do
// not fit their counts is marked failed.
class EncodedFrames {
public:
    explicit EncodedFrames(const classGAF& gaf) {
        std::int64_t pixels = 0;
        for (const classGAFAnimation& a : gaf.Animations()) {
            for (const classGAFFrame& f : a.Frames()) {
                collect(f, 0, pixels);
            }
        }
        // Each frame's room in the buffer, which is left uninitialised: only
        // the bytes the encoder writes are read back.
        std::vector<std::size_t> at(frames_.size() + 1, 0);
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const GafFrameFields& fields = frames_[i]->Fields();
            at[i + 1] = at[i] + RunLengthRowsRoom(fields.Width, fields.Height);
        }
        buffer_.reset(new std::uint8_t[at.back() + 1]);
        coded_.resize(frames_.size());
        failed_.assign(frames_.size(), 0);
        // Below this many pixels (about 4 ms of encoding on one core) the
        // threads save little, and on a busy machine a helper the scheduler
        // has set aside holds the save up until it runs again.
        constexpr std::int64_t kPixelsForThreads = std::int64_t(1) << 22;
        const unsigned threads = pixels < kPixelsForThreads
                                     ? 1
                                     : std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t i; (i = next.fetch_add(1)) < frames_.size();) {
                const GafFrameFields& fields = frames_[i]->Fields();
                std::size_t size = 0;
                failed_[i] = !EncodeRunLengthRowsTo(frames_[i]->Pixels(), fields.Width,
                                                    fields.Height, buffer_.get() + at[i], size);
                coded_[i] = {buffer_.get() + at[i], size};
            }
        };
        std::vector<std::thread> helpers;
        for (unsigned t = 1; t < threads; ++t) {
            helpers.emplace_back(work);
        }
        work();
        for (std::thread& helper : helpers) {
            helper.join();
        }
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            index_[frames_[i]] = i;
            codedBytes_ += coded_[i].size();
        }
    }

    // The encoded rows of `f`, or nullopt when they do not fit.
    std::optional<std::span<const std::uint8_t>> rows(const classGAFFrame& f) const {
        const std::size_t i = index_.at(&f);
        if (failed_[i]) {
            return std::nullopt;
        }
        return coded_[i];
    }

    // All the encoded rows' bytes and the rest the file holds besides
    // entries' records and tables: frame records, subframe lists, raw pixels.
    std::size_t frameBytes() const { return codedBytes_ + otherBytes_; }

private:
    // Frames the writer will store as rows: sizes it accepts, pixels that
    // match; the writer checks the rest and refuses what does not fit.
    void collect(const classGAFFrame& f, int depth, std::int64_t& pixels) {
        const GafFrameFields& fields = f.Fields();
        if (depth > GafLoadContext::MaxSubframeDepth) {
            return;
        }
        otherBytes_ += 24 + 4 * f.Subframes().size();
        for (const classGAFFrame& sub : f.Subframes()) {
            collect(sub, depth + 1, pixels);
        }
        const std::int64_t count = std::int64_t(fields.Width) * fields.Height;
        if (f.Subframes().empty() && fields.compression == 0) {
            otherBytes_ += f.Pixels().size();
        }
        if (f.Subframes().empty() && fields.compression == 1 && fields.Width > 0 &&
            fields.Height > 0 && fields.Width <= 32767 && fields.Height <= 32767 &&
            std::int64_t(f.Pixels().size()) == count) {
            frames_.push_back(&f);
            pixels += count;
        }
    }

    std::vector<const classGAFFrame*> frames_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::vector<std::span<const std::uint8_t>> coded_;
    std::vector<char> failed_;
    std::unordered_map<const classGAFFrame*, std::size_t> index_;
    std::size_t codedBytes_ = 0;
    std::size_t otherBytes_ = 0;
};

class Writer {
public:
    explicit Writer(const EncodedFrames& encoded) : encoded_(encoded) {}

    std::vector<std::uint8_t> out;
    std::string error;
    std::int64_t pixels = 0;  // every frame's Width x Height, as the reader counts them
    std::int64_t records = 0; // frame records

    void put16(std::int32_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(std::uint32_t(v) >> 8));
    }
    void put32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(std::uint8_t(v >> (8 * i)));
        }
    }
    void patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = std::uint8_t(v >> (8 * i));
        }
    }
    bool fail(std::string reason) {
        if (error.empty()) {
            error = std::move(reason);
        }
        return false;
    }

    // Appends the frame's record and data; `depth` 0 for a frame of an entry.
    bool frame(const classGAFFrame& f, int depth, const std::string& where) {
        const GafFrameFields& fields = f.Fields();
        if (fields.Width <= 0 || fields.Height <= 0 || fields.Width > 32767 ||
            fields.Height > 32767) {
            return fail(where + ": the size " + std::to_string(fields.Width) + " x " +
                        std::to_string(fields.Height) + " is not between 1 and 32767");
        }
        if (fields.PositionX < -32768 || fields.PositionX > 32767 || fields.PositionY < -32768 ||
            fields.PositionY > 32767) {
            return fail(where + ": the hotspot does not fit in 16 bits");
        }
        const std::int64_t count = std::int64_t(fields.Width) * fields.Height;
        if (count > GafLoadContext::MaxFramePixels) {
            return fail(where + ": more than " + std::to_string(GafLoadContext::MaxFramePixels) +
                        " pixels in one frame");
        }
        const auto& subframes = f.Subframes();
        if (subframes.size() > 255) {
            return fail(where + ": more than 255 subframes");
        }
        if (!subframes.empty() && depth >= GafLoadContext::MaxSubframeDepth) {
            return fail(where + ": subframes nested deeper than " +
                        std::to_string(GafLoadContext::MaxSubframeDepth) + " levels");
        }
        if (subframes.empty() && std::int64_t(f.Pixels().size()) != count) {
            return fail(where + ": the pixels do not match the size");
        }
        pixels += count;
        ++records;
        const std::size_t record = out.size();
        put16(fields.Width);
        put16(fields.Height);
        put16(fields.PositionX);
        put16(fields.PositionY);
        out.push_back(fields.unknown8);
        out.push_back(fields.compression);
        out.push_back(std::uint8_t(subframes.size()));
        out.push_back(fields.unknown11);
        put32(std::uint32_t(fields.unknown12));
        put32(std::uint32_t(record + 24)); // the data follows the record
        put32(std::uint32_t(fields.FPS));
        if (!subframes.empty()) {
            const std::size_t list = out.size();
            out.resize(list + 4 * subframes.size());
            for (std::size_t j = 0; j < subframes.size(); ++j) {
                patch32(list + 4 * j, std::uint32_t(out.size()));
                if (!frame(subframes[j], depth + 1, where + " subframe " + std::to_string(j + 1))) {
                    return false;
                }
            }
            return true;
        }
        if (fields.compression == 0) {
            out.insert(out.end(), f.Pixels().begin(), f.Pixels().end());
        } else if (fields.compression == 1) {
            const std::optional<std::span<const std::uint8_t>> rows = encoded_.rows(f);
            if (!rows) {
                return fail(where + ": a run-length row is longer than " +
                            std::to_string(MaxRowCodeBytes) + " bytes (store the frame raw)");
            }
            out.insert(out.end(), rows->begin(), rows->end());
        }
        return true;
    }

    bool entry(const classGAFAnimation& a, const std::string& where) {
        const std::string& name = a.Name();
        if (name.size() > kNameSize) {
            return fail(where + ": the name is longer than 32 bytes");
        }
        if (name.find('\0') != std::string::npos) {
            return fail(where + ": the name holds a NUL byte");
        }
        const std::string& padding = a.Fields().namePadding;
        if (!padding.empty() && (padding.size() != kNameSize - name.size() || padding[0] != '\0')) {
            return fail(where + ": the name padding must fill the 32-byte field behind the name, "
                                "starting with a NUL byte");
        }
        const auto& frames = a.Frames();
        const auto& tags = a.FrameTags();
        bool tagged = false;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            tagged = tagged || (i < tags.size() && tags[i] == kAnimatedTag);
        }
        if (tagged && !a.Animated()) {
            return fail(where + ": a frame tag of 2 marks the entry animated, but it is not");
        }
        // An animated entry whose frames carry no tag 2 gets one more table
        // row with no frame (offset 0) and the tag: the reader reads the tag
        // and skips the row.
        const std::size_t rows = frames.size() + (a.Animated() && !tagged ? 1 : 0);
        if (rows > 32767) {
            return fail(where + ": more than 32767 frames");
        }
        put16(std::int32_t(rows));
        put16(a.Fields().unknown2);
        put32(std::uint32_t(a.Fields().unknown4));
        char field[kNameSize] = {};
        std::memcpy(field, name.data(), name.size());
        std::memcpy(field + name.size(), padding.data(), padding.size());
        out.insert(out.end(), field, field + kNameSize);
        const std::size_t table = out.size();
        out.resize(table + 8 * rows);
        if (rows > frames.size()) {
            patch32(table + 8 * frames.size() + 4, kAnimatedTag);
        }
        for (std::size_t i = 0; i < frames.size(); ++i) {
            patch32(table + 8 * i, std::uint32_t(out.size()));
            patch32(table + 8 * i + 4, std::uint32_t(i < tags.size() ? tags[i] : 0));
            if (!frame(frames[i], 0, where + " frame " + std::to_string(i + 1))) {
                return false;
            }
            if (out.size() > classGAF::MaxFileSize) {
                return fail("the file would be larger than " +
                            std::to_string(classGAF::MaxFileSize >> 20) + " MiB");
            }
        }
        return true;
    }

private:
    const EncodedFrames& encoded_;
};

std::string entryName(const classGAFAnimation& a, std::size_t index) {
    return "entry " + std::to_string(index + 1) + " (\"" + Cp1252ToUtf8(a.Name()) + "\")";
}

} // namespace

GafWriteResult GafFileBytes(const classGAF& gaf) {
    const EncodedFrames encoded(gaf);
    Writer w(encoded);
    const auto& animations = gaf.Animations();
    // The whole file's size, so its bytes are laid out without moving.
    std::size_t bound = 12 + 4 * animations.size() + encoded.frameBytes();
    for (const classGAFAnimation& a : animations) {
        bound += 40 + 8 * (a.Frames().size() + 1);
    }
    w.out.reserve(std::min<std::size_t>(bound, classGAF::MaxFileSize));
    if (animations.size() > std::size_t(INT32_MAX / 4)) {
        return {{}, "too many entries"};
    }
    std::set<std::string> keys;
    for (std::size_t i = 0; i < animations.size(); ++i) {
        if (!keys.insert(NameKey(animations[i].Name())).second) {
            return {{},
                    entryName(animations[i], i) +
                        ": another entry has the same name (without regard to case)"};
        }
    }
    w.put32(classGAF::StandardVersion);
    w.put32(std::uint32_t(animations.size()));
    w.put32(std::uint32_t(gaf.Unknown8()));
    const std::size_t table = w.out.size();
    w.out.resize(table + 4 * animations.size());
    for (std::size_t i = 0; i < animations.size(); ++i) {
        w.patch32(table + 4 * i, std::uint32_t(w.out.size()));
        if (!w.entry(animations[i], entryName(animations[i], i))) {
            return {{}, w.error};
        }
    }
    // The reader's budgets grow with the file's size; a file that holds far
    // more pixels than bytes (large frames of transparent rows) would have
    // frames dropped.
    const std::int64_t size = std::int64_t(w.out.size());
    const GafLoadContext budget(std::span(w.out.data(), w.out.size()));
    if (w.pixels > budget.framePixelsLeft || w.records > budget.frameRecordsLeft) {
        return {{},
                "the frames hold more pixels than the reader accepts from a file of " +
                    std::to_string(size) + " bytes (store large transparent frames raw)"};
    }
    return {std::move(w.out), {}};
}

bool WriteFileAtomically(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    std::filesystem::path temporary = file;
    temporary += ".XXXXXX";
    std::string pattern = temporary.string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        error = file.string() + ": cannot create a file beside it: " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += ok ? std::size_t(n) : 0;
    }
    // A replaced file keeps its permissions; a new one gets the usual 0644.
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ok = ok && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(pattern.c_str(), file.c_str()) != 0) {
        error = file.string() + ": cannot write: " + std::strerror(ok ? errno : savedErrno);
        ::unlink(pattern.c_str());
        return false;
    }
    return true;
}

bool SaveGafFile(const std::filesystem::path& file, const classGAF& gaf, std::string& error) {
    GafWriteResult result = GafFileBytes(gaf);
    if (!result.ok()) {
        error = result.error;
        return false;
    }
    return WriteFileAtomically(file, result.bytes, error);
}

} // namespace spriteglass

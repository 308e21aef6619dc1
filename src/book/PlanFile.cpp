#include "book/PlanFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "book/BookErrors.h"
#include "book/Platform.h"
#include "model/cplanunit.h"

namespace tamber {
namespace {

constexpr std::size_t kBalanceDateOffset = 0;
constexpr std::size_t kBalanceOffset = 24;

std::string PathText(const std::filesystem::path& path) {
    return path.string();
}

// The system's reason for a failed file call: in the program's language for
// the failures a user can act on, in the system's words for the rest.
std::string ReasonText(int code) {
    switch (code) {
        case ENOSPC: return "磁碟空間不足";
#ifdef EDQUOT
        case EDQUOT: return "超過磁碟配額";
#endif
        case EACCES:
        case EPERM: return "沒有寫入的權限";
        case EROFS: return "磁碟為唯讀";
        case ENOENT: return "找不到檔案或資料夾";
        case EISDIR: return "這是資料夾, 不是檔案";
        case ENOTDIR: return "路徑中有不是資料夾的名稱";
        case EIO: return "磁碟讀寫錯誤";
        default: return std::generic_category().message(code);
    }
}

EWriteError WriteFailure(const std::filesystem::path& path, const std::string& reason) {
    return EWriteError("寫檔錯誤: " + PathText(path) + " (" + reason + ")");
}

// Throws the write error for Path when a system call returned Error.
void CheckWrite(int error, const std::filesystem::path& path) {
    if (error != 0) throw WriteFailure(path, ReasonText(error));
}

// Collects the bytes and hands them to the system in large pieces: a plan
// file is written one 188-byte record at a time.
class TFileSink final : public TByteSink {
public:
    explicit TFileSink(const std::filesystem::path& path) : Path_(path) { CheckWrite(File_.Create(path), Path_); }

    void Write(const uint8_t* data, std::size_t size) override {
        Buffer_.insert(Buffer_.end(), data, data + size);
        if (Buffer_.size() >= kPieceSize) WriteBuffer();
    }

    void Finish() override {
        WriteBuffer();
        CheckWrite(File_.Close(), Path_);
    }

private:
    static constexpr std::size_t kPieceSize = std::size_t{1} << 16;

    void WriteBuffer() {
        CheckWrite(File_.Append(Buffer_.data(), Buffer_.size()), Path_);
        Buffer_.clear();
    }

    std::filesystem::path Path_;
    platform::TFile File_;
    std::vector<uint8_t> Buffer_;
};

// Removes the file Path when it goes, unless it was kept.
class TRemoveUnlessKept {
public:
    explicit TRemoveUnlessKept(std::filesystem::path path) : Path_(std::move(path)) {}
    TRemoveUnlessKept(const TRemoveUnlessKept&) = delete;
    TRemoveUnlessKept& operator=(const TRemoveUnlessKept&) = delete;
    ~TRemoveUnlessKept() {
        std::error_code ignored;
        if (!Kept_) std::filesystem::remove(Path_, ignored);
    }
    void Keep() noexcept { Kept_ = true; }

private:
    std::filesystem::path Path_;
    bool Kept_ = false;
};

// A name for the new file in the same folder as Name, so that replacing Name
// with it is a rename within one file system.
std::filesystem::path NewFileBeside(const std::filesystem::path& name) {
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    std::filesystem::path temp = name;
    temp += suffix;
    return temp;
}

// Reads the next complete record; false at the end (a partial record is ignored).
bool ReadRecord(std::istream& in, TRecordBytes& bytes) {
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() == static_cast<std::streamsize>(bytes.size())) return true;
    if (in.bad()) throw EReadError();
    return false;
}

// Reads the header and the plans from In into a new book; any failure throws.
TPlanFileHeader ReadPlans(std::istream& in, TPlanBook& book) {
    TRecordBytes bytes;
    if (!ReadRecord(in, bytes)) throw EReadError();
    const TPlanFileHeader header = HeaderFromBytes(bytes);
    DayOf(header.BalanceDate);  // a NaN or a date outside years 1..9999 is a damaged header

    TPlanBook plans;
    while (ReadRecord(in, bytes)) {
        const TPlanRecord rec = RecordFromBytes(bytes);
        if (rec.PlanKind >= kPlanKindCount) continue;  // not a plan kind: dropped silently
        // A record that breaks the plan rules can only come from a damaged
        // file: making the plan refuses it (the caller reports a read error).
        std::unique_ptr<TCustomPlan> plan = CreateFrom(rec);
        // More plans than the day list can number would show wrong plans.
        if (plans.Count() >= TPlanBook::kMaxPlans) throw EReadError();
        plans.Append(std::move(plan));
    }
    book = std::move(plans);
    return header;
}

// Writes Header over record 0 of the plan file Name and waits until it is on
// the disk. A file without a complete record 0 is no plan file and is left
// alone; when the write fails, the previous record 0 is put back as far as
// the system lets us, so that the plan file is not left with a half-written
// header.
void WriteHeader(const std::filesystem::path& name, const TPlanFileHeader& header) {
    platform::TFile file;
    CheckWrite(file.OpenExisting(name), name);
    TRecordBytes previous;
    std::size_t got = 0;
    CheckWrite(file.ReadAt(0, previous.data(), previous.size(), got), name);
    if (got != previous.size()) throw WriteFailure(name, "不是計劃檔");
    const TRecordBytes bytes = HeaderToBytes(header);
    int error = file.WriteAt(0, bytes.data(), bytes.size());
    if (error == 0) error = file.Sync();
    if (error == 0) error = file.Close();
    if (error == 0) return;
    platform::TFile again;
    if (again.OpenExisting(name) == 0) again.WriteAt(0, previous.data(), previous.size());
    CheckWrite(error, name);
}

}  // namespace

TRecordBytes HeaderToBytes(const TPlanFileHeader& header) noexcept {
    TRecordBytes bytes{};
    std::memcpy(bytes.data() + kBalanceDateOffset, &header.BalanceDate, sizeof header.BalanceDate);
    std::memcpy(bytes.data() + kBalanceOffset, &header.Balance, sizeof header.Balance);
    return bytes;
}

TPlanFileHeader HeaderFromBytes(const TRecordBytes& bytes) noexcept {
    TPlanFileHeader header;
    std::memcpy(&header.BalanceDate, bytes.data() + kBalanceDateOffset, sizeof header.BalanceDate);
    std::memcpy(&header.Balance, bytes.data() + kBalanceOffset, sizeof header.Balance);
    return header;
}

std::unique_ptr<TByteSink> CreateFileSink(const std::filesystem::path& path) {
    return std::make_unique<TFileSink>(path);
}

void WritePlanFile(TByteSink& sink, const TPlanBook& book, const TPlanFileHeader& header) {
    const TRecordBytes head = HeaderToBytes(header);
    sink.Write(head.data(), head.size());
    for (int i = 0; i < book.Count(); ++i) {
        const TRecordBytes rec = RecordToBytes(book.Plan(i).Rec());
        sink.Write(rec.data(), rec.size());
    }
}

void ReplaceFile(const std::filesystem::path& name, const std::function<void(const std::filesystem::path&)>& write) {
    // A file that the user may not write keeps what it holds: the new file
    // beside it would otherwise replace it regardless of its access rights.
    std::error_code missing;
    if (std::filesystem::exists(name, missing)) CheckWrite(platform::MayWrite(name), name);
    const std::filesystem::path temp = NewFileBeside(name);
    TRemoveUnlessKept newFile(temp);
    try {
        errno = 0;  // a writer that reports through WriteErrorFor then reads its own reason
        write(temp);
        // The new file keeps the access rights of the one it replaces.
        std::error_code ignored;
        const auto previous = std::filesystem::status(name, ignored);
        if (std::filesystem::exists(previous)) {
            std::filesystem::permissions(temp, previous.permissions(), ignored);
        }
        // On the disk before it takes the old file's place, so that after a
        // crash or a power cut the file is the old one or the new one, whole.
        CheckWrite(platform::FlushFile(temp), name);
        std::filesystem::rename(temp, name);
        newFile.Keep();
    } catch (const EWriteError& e) {
        // Named after the file the user saves to, not the new one beside it.
        std::string message = e.what();
        if (const std::size_t at = message.find(PathText(temp)); at != std::string::npos) {
            message.replace(at, PathText(temp).size(), PathText(name));
        }
        throw EWriteError(message);
    } catch (const std::filesystem::filesystem_error& e) {
        throw WriteFailure(name, ReasonText(e.code().value()));
    } catch (const std::exception& e) {
        throw WriteFailure(name, e.what());
    }
    // The rename itself is kept only once the folder is on the disk.
    CheckWrite(platform::FlushFolder(name.parent_path()), name);
}

void WriteWholeFile(const std::filesystem::path& name, std::string_view bytes) {
    ReplaceFile(name, [&](const std::filesystem::path& path) {
        const std::unique_ptr<TByteSink> sink = CreateFileSink(path);
        sink->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        sink->Finish();
    });
}

EWriteError WriteErrorFor(const std::filesystem::path& path) {
    // What the last failed system call left, when it left anything.
    const int code = errno;
    return WriteFailure(path, code != 0 ? ReasonText(code) : std::string("無法寫入"));
}

void SavePlanFile(const std::filesystem::path& name, const TPlanBook& book, TPlanBookState& state, TDate today,
                  const TSinkFactory& createSink) {
    ReplaceFile(name, [&](const std::filesystem::path& temp) {
        std::unique_ptr<TByteSink> sink = createSink(temp);
        WritePlanFile(*sink, book, {today - 1, state.OpeningBalance});
        sink->Finish();
    });
    state.Modified = false;
    state.FileStamp = StampFile(name);
}

TPlanFileHeader ReadPlanFile(const std::filesystem::path& name, TPlanBook& book) {
    try {
        std::ifstream in(name, std::ios::in | std::ios::binary);
        if (!in) throw EReadError();
        return ReadPlans(in, book);
    } catch (const std::exception&) {
        book.Clear();
        throw EReadError();
    }
}

TPlanFileHeader ReadPlanBytes(std::string_view bytes, TPlanBook& book) {
    try {
        std::istringstream in(std::string(bytes), std::ios::in | std::ios::binary);
        return ReadPlans(in, book);
    } catch (const std::exception&) {
        book.Clear();
        throw EReadError();
    }
}

TLoadOutcome LoadPlanFile(const std::filesystem::path& name, TPlanBook& book, TPlanBookState& state, TDate today,
                          const TCatchUpHook& catchUp) {
    book.Clear();
    state.PlanFileName = PathText(name);

    // Opened for reading and writing, as plan files always were: a file the
    // user may not write is not loaded, since a catch-up rewrites its header.
    std::fstream file;
    TPlanFileHeader header;
    try {
        file.open(name, std::ios::in | std::ios::out | std::ios::binary);
        if (!file) throw EReadError();
        header = ReadPlans(file, book);
    } catch (const std::exception&) {
        ClearPlanBook(book, state);
        throw EReadError();
    }
    state.BalanceDate = header.BalanceDate;
    state.OpeningBalance = header.Balance;
    state.LoadedBalance = header.Balance;
    state.FileStamp = StampFile(name);

    TLoadOutcome outcome = TLoadOutcome::Loaded;
    if (!book.Empty() && today - 1 > state.BalanceDate) {
        state.CatchUpAccepted = false;
        std::optional<int32_t> accepted;
        TPendingList pending;
        try {
            pending = BuildPendingList(book, state.BalanceDate, today);
            if (!pending.empty() && catchUp) accepted = catchUp(pending, state);
        } catch (...) {
            ClearPlanBook(book, state);
            throw;
        }
        if (accepted) {
            state.OpeningBalance = *accepted;
            state.CatchUpAccepted = true;
            // Our header on someone else's plans would mix two books, and
            // one written into a file removed meanwhile would be lost.
            if (StampFile(name) != state.FileStamp) {
                outcome = TLoadOutcome::CaughtUpNotWritten;
            } else {
                file.close();
                try {
                    WriteHeader(name, {today - 1, state.OpeningBalance});
                } catch (const EWriteError& e) {
                    // The amounts the user confirmed stay loaded, waiting to be saved.
                    state.Modified = true;
                    throw ECatchUpNotWritten(e.what());
                }
                state.FileStamp = StampFile(name);
                outcome = TLoadOutcome::CaughtUp;
            }
        } else if (!pending.empty()) {
            ClearPlanBook(book, state);
            outcome = TLoadOutcome::Declined;
        }
    }
    file.close();
    state.Modified = outcome == TLoadOutcome::CaughtUpNotWritten;
    return outcome;
}

bool ChangedOnDisk(const TPlanBookState& state) {
    if (!state.FileStamp || state.FileStamp->Path != state.PlanFileName) return false;
    std::error_code error;
    if (!std::filesystem::exists(state.PlanFileName, error)) return false;
    return StampFile(state.PlanFileName) != state.FileStamp;
}

void RewritePlanFileHeader(const std::filesystem::path& name, int32_t openingBalance, TDate today) {
    WriteHeader(name, {today - 1, openingBalance});
}

}  // namespace tamber

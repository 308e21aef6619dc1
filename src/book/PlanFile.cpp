#include "PlanFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

#include "BookErrors.h"
#include "Platform.h"
#include "cplanunit.h"

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

// The reason for the last failed file call, when it left one.
std::string SystemReason() {
    const int code = errno;
    return code != 0 ? ReasonText(code) : std::string("無法寫入");
}

EWriteError WriteFailure(const std::filesystem::path& path, const std::string& reason) {
    return EWriteError("寫檔錯誤: " + PathText(path) + " (" + reason + ")");
}

class TFileSink final : public TByteSink {
public:
    explicit TFileSink(const std::filesystem::path& path) : Path_(path) {
        errno = 0;
        Out_.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!Out_) throw WriteFailure(Path_, SystemReason());
    }

    void Write(const uint8_t* data, std::size_t size) override {
        errno = 0;
        Out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!Out_) throw WriteFailure(Path_, SystemReason());
    }

    void Finish() override {
        errno = 0;
        Out_.flush();
        Out_.close();
        if (!Out_) throw WriteFailure(Path_, SystemReason());
    }

private:
    std::filesystem::path Path_;
    std::ofstream Out_;
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

// Writes Bytes at the start of File and flushes them; false when that fails.
bool WriteAtStart(std::fstream& file, const TRecordBytes& bytes) {
    file.clear();
    file.seekp(0);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    return static_cast<bool>(file);
}

// Writes Header over record 0 of File, the open plan file Name. A file
// without a complete record 0 is no plan file and is left alone; when the
// write fails, the previous record 0 is put back as far as the system lets
// us, so that the plan file is not left with a half-written header.
void WriteHeaderAt(std::fstream& file, const std::filesystem::path& name, const TPlanFileHeader& header) {
    TRecordBytes previous;
    file.clear();
    file.seekg(0);
    file.read(reinterpret_cast<char*>(previous.data()), static_cast<std::streamsize>(previous.size()));
    if (file.gcount() != static_cast<std::streamsize>(previous.size())) {
        throw WriteFailure(name, "不是計劃檔");
    }
    errno = 0;
    if (WriteAtStart(file, HeaderToBytes(header)) && platform::FlushFile(name)) return;
    const EWriteError failure = WriteFailure(name, SystemReason());
    // The stream may still hold the bytes that did not go out: restore
    // through a stream of its own.
    file.close();
    std::fstream again(name, std::ios::in | std::ios::out | std::ios::binary);
    if (again) WriteAtStart(again, previous);
    throw failure;
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
    if (std::filesystem::exists(name, missing) && !platform::MayWrite(name)) {
        throw WriteFailure(name, SystemReason());
    }
    const std::filesystem::path temp = NewFileBeside(name);
    try {
        errno = 0;  // a writer's failure then reads its own reason
        write(temp);
        // The new file keeps the access rights of the one it replaces.
        std::error_code ignored;
        const auto previous = std::filesystem::status(name, ignored);
        if (std::filesystem::exists(previous)) {
            std::filesystem::permissions(temp, previous.permissions(), ignored);
        }
        // On the disk before it takes the old file's place, so that after a
        // crash or a power cut the file is the old one or the new one, whole.
        if (!platform::FlushFile(temp)) throw WriteFailure(temp, SystemReason());
        std::filesystem::rename(temp, name);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        if (dynamic_cast<const EWriteError*>(&e)) {
            // Named after the file the user saves to, not the new one beside it.
            std::string message = e.what();
            if (const std::size_t at = message.find(PathText(temp)); at != std::string::npos) {
                message.replace(at, PathText(temp).size(), PathText(name));
            }
            throw EWriteError(message);
        }
        if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&e)) {
            throw WriteFailure(name, ReasonText(fs->code().value()));
        }
        throw WriteFailure(name, e.what());
    }
    // The rename itself is kept only once the folder is on the disk.
    if (!platform::FlushFolder(name.parent_path())) throw WriteFailure(name, SystemReason());
}

EWriteError WriteErrorFor(const std::filesystem::path& path) {
    return WriteFailure(path, SystemReason());
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

    // Opened for reading and writing, as an accepted catch-up rewrites the header.
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
                try {
                    WriteHeaderAt(file, name, {today - 1, state.OpeningBalance});
                } catch (const EWriteError& e) {
                    // The amounts the user confirmed stay loaded, waiting to be saved.
                    state.Modified = true;
                    throw ECatchUpNotWritten(e.what());
                }
                file.close();
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
    errno = 0;
    // Opening for reading and writing never creates a missing file.
    std::fstream file(name, std::ios::in | std::ios::out | std::ios::binary);
    if (!file) throw WriteFailure(name, SystemReason());
    WriteHeaderAt(file, name, {today - 1, openingBalance});
    file.close();
    if (!file) throw WriteFailure(name, SystemReason());
}

}  // namespace tamber

// The plan file: a header record with the balance and its date, then one
// 188-byte plan record per plan in book order; no signature, no count, no
// trailer. Bytes after the last complete record are ignored on reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "BookErrors.h"
#include "CatchUp.h"
#include "Dates.h"
#include "PlanBook.h"
#include "PlanRecord.h"

namespace tamber {

// Record 0 of a plan file. Only the balance date (offset 0, a double) and the
// balance (offset 24, signed 32-bit) carry information; the other bytes are
// written as zeros and ignored on reading.
struct TPlanFileHeader {
    TDate BalanceDate = 0;  // the last day whose occurrences the balance holds
    int32_t Balance = 0;    // the balance at the end of that day
};

TRecordBytes HeaderToBytes(const TPlanFileHeader& header) noexcept;
TPlanFileHeader HeaderFromBytes(const TRecordBytes& bytes) noexcept;

// Where a save writes its bytes. Write and Finish throw EWriteError.
class TByteSink {
public:
    virtual ~TByteSink() = default;
    virtual void Write(const uint8_t* data, std::size_t size) = 0;
    // Flushes and closes; the bytes are then all in place.
    virtual void Finish() = 0;
};

// A sink creating (or emptying) the file at Path; EWriteError when it cannot.
std::unique_ptr<TByteSink> CreateFileSink(const std::filesystem::path& path);
using TSinkFactory = std::function<std::unique_ptr<TByteSink>(const std::filesystem::path&)>;

// Writes the header, then every plan's record byte for byte in book order.
void WritePlanFile(TByteSink& sink, const TPlanBook& book, const TPlanFileHeader& header);

// Writes the file Name whole or not at all: Write fills a new file beside
// Name, at the path it is given, and that file replaces Name once Write has
// returned and its bytes are on the disk; the folder is flushed after the
// rename. A file the user may not write is not replaced. Throws
// EWriteError naming Name, the reason in the program's language for a full
// disk, a missing permission or folder (an EWriteError from Write keeps its
// reason); the new file is then removed and Name keeps what it held.
void ReplaceFile(const std::filesystem::path& name, const std::function<void(const std::filesystem::path&)>& write);

// The write error for Path with the reason the last failed system call left.
EWriteError WriteErrorFor(const std::filesystem::path& path);

// Writes the whole book to Name with the header balance date Today - 1 and
// balance State.OpeningBalance, then clears State.Modified and stamps the
// file into State.FileStamp. The bytes go into
// a new file beside Name (made by CreateSink) as ReplaceFile writes, so a
// failed save leaves the previous file as it was. Throws EWriteError as
// ReplaceFile; State is then unchanged.
void SavePlanFile(const std::filesystem::path& name, const TPlanBook& book, TPlanBookState& state, TDate today,
                  const TSinkFactory& createSink = CreateFileSink);

// Reads the plans of Name into Book (replacing its plans) without writing
// anything, and returns the header. Records whose kind byte is not a plan
// kind are skipped. Throws EReadError "讀檔錯誤" with Book emptied when the
// file cannot be opened or read, is shorter than one record, has a header
// date that is no date, holds a record that makes no sound plan, or holds
// more than TPlanBook::kMaxPlans plans.
TPlanFileHeader ReadPlanFile(const std::filesystem::path& name, TPlanBook& book);

// The same for a plan file's bytes held in memory, with the same checks and
// the same EReadError.
TPlanFileHeader ReadPlanBytes(std::string_view bytes, TPlanBook& book);

// Asks the user to confirm the pending occurrences (whose amount texts the
// answer may change); returns the new opening balance when accepted, nothing
// when declined. State holds BalanceDate and LoadedBalance for display.
using TCatchUpHook = std::function<std::optional<int32_t>(TPendingList& pending, const TPlanBookState& state)>;

enum class TLoadOutcome {
    Loaded,    // the plans are loaded; no catch-up was needed
    CaughtUp,  // loaded, and an accepted catch-up moved the balance and rewrote the header
    Declined,  // the catch-up was declined: the load is undone (empty book, no file name)
    // loaded and caught up, but someone else changed or removed the file
    // while the catch-up was shown: nothing is written and State.Modified is
    // set, for the caller to save the whole book as the user decides
    CaughtUpNotWritten,
};

// An accepted catch-up whose header could not be rewritten. The load itself
// stands: the plans and the caught-up balance are loaded and Modified is set,
// so that closing offers to save them. what() is the write error.
class ECatchUpNotWritten : public EWriteError {
public:
    using EWriteError::EWriteError;
};

// Loads Name into Book and State. The file must be readable and writable.
// Read failures: as ReadPlanFile, with State cleared as by ClearPlanBook.
// When the book is not empty and the balance date is before yesterday, the
// occurrences due since then go to CatchUp (not called when there are none;
// an empty hook declines); an accepted catch-up sets OpeningBalance and
// CatchUpAccepted and rewrites the header (Today - 1, the new balance) in
// place, ECatchUpNotWritten when that fails (the file keeps its previous
// header). An EPlanError while listing the occurrences, or an error from the
// hook, clears the book as a failed load and is rethrown. The file as read
// (or as rewritten) is stamped into State.FileStamp. Modified becomes false
// after a load that did not throw, but for CaughtUpNotWritten (the file
// changed on disk meanwhile, so the header was not written).
TLoadOutcome LoadPlanFile(const std::filesystem::path& name, TPlanBook& book, TPlanBookState& state, TDate today,
                          const TCatchUpHook& catchUp);

// Whether the plan file State names was changed since State.FileStamp was
// taken from it. False when no stamp was taken from that file, and when the
// file is gone: saving it then overwrites nobody's changes.
bool ChangedOnDisk(const TPlanBookState& state);

// Overwrites the header record of the existing file Name with balance date
// Today - 1 and OpeningBalance and waits until it is on the disk; the plan
// records stay untouched. EWriteError
// when the file is missing, cannot be opened for writing, is shorter than
// one record (no plan file) or cannot be written; the file then keeps its
// previous header.
void RewritePlanFileHeader(const std::filesystem::path& name, int32_t openingBalance, TDate today);

}  // namespace tamber

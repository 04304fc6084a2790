// `quillfeed db create|info|check|compact`: the database file itself.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "common/settings_store.h"
#include "common/system_info.h"
#include "db/default_database.h"
#include "db/schema.h"

namespace qf::cli {
namespace {

struct DbArgs {
    std::string path;
    bool yes = false;
};

int RunCreate(CommandContext& context, const DbArgs& args) {
    context.UseDevice(DeviceNeed::kExisting);
    TerminalMessageBoxes boxes(args.yes ? Answer::kYes : Answer::kAsk);
    std::u16string path =
        args.path.empty() ? std::u16string(kDefaultDatabasePath) : DevicePathArgument(args.path);
    FeedDatabase database;
    // A database left aside by an interrupted compaction is put back first, and then counts as existing.
    database.RecoverInterruptedCompaction(path);
    CFile existing;
    Require(!(existing.Open(path.c_str(), CFile::modeRead) && existing.GetLength() != 0),
            "a database already exists at " + WideToUtf8(path) +
                "; it is kept (delete it on purpose first to start afresh)");
    existing.Close();
    Require(database.Create(path, OverwritePrompt::kRefuse, DefaultViews::kCreate),
            "could not create the database " + WideToUtf8(path));
    AppSettings().Write(setting::kDatabasePath, path);
    AppSettings().Write(setting::kTodayHasChanged, true);
    if (context.json()) {
        PrintJson(
            {{"ok", true}, {"path", WideToUtf8(path)}, {"version", WideToUtf8(schema::kCurrentVersion)}});
    } else {
        std::cout << "Created " << WideToUtf8(path) << " (version " << WideToUtf8(schema::kCurrentVersion)
                  << ") and made it the device's database\n";
    }
    return 0;
}

long CountRows(FeedDatabase& database, const char16_t* table) {
    DbResult<long> count = database.Run([&](AdoConnection& connection) {
        AdoRecordset rows;
        if (!rows.Open(u"Select count(*) From " + std::u16string(table), &connection) || rows.IsEOF())
            return -1L;
        return static_cast<long>(rows.Field(0).AsInt());
    });
    return count.value_or(-1);
}

int RunInfo(CommandContext& context, const DbArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    nlohmann::json counts = nlohmann::json::object();
    for (const char16_t* table : {u"VersionInfo", u"Views", u"Feeds", u"ViewFeeds", u"ViewFeedItems",
                                  u"Subscriptions", u"SubscriptionFeeds", u"FeedItems", u"FeedItemShortData",
                                  u"FeedItemLongData", u"FeedItemAudioData"}) {
        counts[WideToUtf8(table)] = CountRows(session.database(), table);
    }
    std::string version = WideToUtf8(session.database().Version().value_or(u""));
    double size_kb = FileSizeKb(session.path());
    if (context.json()) {
        PrintJson({{"ok", true},
                   {"path", WideToUtf8(session.path())},
                   {"version", version},
                   {"sizeKb", size_kb},
                   {"counts", counts}});
        return 0;
    }
    std::cout << "Database " << WideToUtf8(session.path()) << ", version " << version << ", "
              << static_cast<long long>(size_kb) << " KB\n";
    for (auto& [table, count] : counts.items()) std::cout << "  " << table << ": " << count << '\n';
    return 0;
}

// SQLite's own integrity check over the whole file: "ok", or the problems it lists (exit 1).
int RunCheck(CommandContext& context, const DbArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    DbResult<std::vector<std::string>> checked =
        session.database().Run([&](AdoConnection& connection) -> DbResult<std::vector<std::string>> {
            AdoRecordset rows;
            if (!rows.Open(u"PRAGMA integrity_check", &connection)) return DbError::kQueryFailed;
            std::vector<std::string> lines;
            for (; !rows.IsEOF(); rows.MoveNext()) lines.push_back(WideToUtf8(rows.Field(0).AsString()));
            return lines;
        });
    const std::vector<std::string> findings =
        checked ? *checked : std::vector<std::string>{"the check could not run"};
    bool ok = findings == std::vector<std::string>{"ok"};
    if (context.json()) {
        PrintJson({{"ok", ok}, {"path", WideToUtf8(session.path())}, {"integrity", findings}});
        return ok ? 0 : 1;
    }
    Require(ok, "the database " + WideToUtf8(session.path()) + " fails its integrity check: " +
                    (findings.empty() ? std::string("no answer") : findings.front()));
    std::cout << "Database " << WideToUtf8(session.path()) << ": integrity ok\n";
    return 0;
}

int RunCompact(CommandContext& context, const DbArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    double before_kb = FileSizeKb(session.path());
    Require(session.database().Compact(),
            "compaction failed (is another program holding the database open?); the database is unchanged");
    double after_kb = FileSizeKb(session.path());
    if (context.json()) {
        PrintJson({{"ok", true},
                   {"path", WideToUtf8(session.path())},
                   {"sizeKbBefore", before_kb},
                   {"sizeKbAfter", after_kb}});
    } else {
        std::cout << "Compacted " << WideToUtf8(session.path()) << ": " << static_cast<long long>(before_kb)
                  << " KB -> " << static_cast<long long>(after_kb) << " KB\n";
    }
    return 0;
}

}  // namespace

void AddDbCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<DbArgs>();
    CLI::App* db = app.add_subcommand("db", "Create, inspect and compact the device's feed database");
    db->require_subcommand(1);
    AddYesOption(*db, args->yes);

    CLI::App* create =
        db->add_subcommand("create", "Create a new database and make it the device's database");
    create->add_option("path", args->path,
                       "Device path of the file (default \\Program Files\\Quillfeed\\Quillfeed.cdb)");
    create->callback(
        [&context, args] { context.SetAction([&context, args] { return RunCreate(context, *args); }); });

    CLI::App* info = db->add_subcommand("info", "Print the database's path, version and row counts");
    info->callback(
        [&context, args] { context.SetAction([&context, args] { return RunInfo(context, *args); }); });

    CLI::App* check = db->add_subcommand("check", "Run the database engine's integrity check over the file");
    check->callback(
        [&context, args] { context.SetAction([&context, args] { return RunCheck(context, *args); }); });

    CLI::App* compact =
        db->add_subcommand("compact", "Rebuild the database file without the space of deleted rows");
    compact->callback(
        [&context, args] { context.SetAction([&context, args] { return RunCompact(context, *args); }); });
}

}  // namespace qf::cli

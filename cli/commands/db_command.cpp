// `quillfeed db create|info|check|compact`: the database file itself.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "common/settings_store.h"
#include "common/system_info.h"
#include "db/default_database.h"
#include "db/file_checks.h"
#include "db/schema.h"

namespace qf::cli {
namespace {

struct DbArgs {
    std::string path;
    bool yes = false;
};

CommandResult RunCreate(CommandContext& context, const DbArgs& args) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    TerminalMessageBoxes boxes(args.yes ? Answer::kYes : Answer::kAsk);
    std::u16string path =
        args.path.empty() ? std::u16string(kDefaultDatabasePath) : DevicePathArgument(args.path);
    FeedDatabase database;
    // A database left aside by an interrupted compaction is put back first, and then counts as existing.
    database.RecoverInterruptedCompaction(path);
    if (NonEmptyFileAt(path)) {
        return Fail("a database already exists at " + WideToUtf8(path) +
                    "; it is kept (delete it on purpose first to start afresh)");
    }
    if (!database.Create(path, OverwritePrompt::kRefuse, DefaultViews::kCreate))
        return Fail("could not create the database " + WideToUtf8(path));
    AppSettings().Write(setting::kDatabasePath, path);
    AppSettings().Write(setting::kTodayHasChanged, true);
    return Reply(context, {{"path", WideToUtf8(path)}, {"version", WideToUtf8(schema::kCurrentVersion)}},
                 [&](std::ostream& out) {
                     out << "Created " << WideToUtf8(path) << " (version "
                         << WideToUtf8(schema::kCurrentVersion) << ") and made it the device's database\n";
                 });
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

CommandResult RunInfo(CommandContext& context, DatabaseSession& session, const DbArgs&) {
    nlohmann::json counts = nlohmann::json::object();
    for (const char16_t* table : {u"VersionInfo", u"Views", u"Feeds", u"ViewFeeds", u"ViewFeedItems",
                                  u"Subscriptions", u"SubscriptionFeeds", u"FeedItems", u"FeedItemShortData",
                                  u"FeedItemLongData", u"FeedItemAudioData"}) {
        counts[WideToUtf8(table)] = CountRows(session.database(), table);
    }
    std::string version = WideToUtf8(session.database().Version().value_or(u""));
    double size_kb = FileSizeKb(session.path());
    return Reply(
        context,
        {{"path", WideToUtf8(session.path())}, {"version", version}, {"sizeKb", size_kb}, {"counts", counts}},
        [&](std::ostream& out) {
            out << "Database " << WideToUtf8(session.path()) << ", version " << version << ", "
                << static_cast<long long>(size_kb) << " KB\n";
            for (auto& [table, count] : counts.items()) out << "  " << table << ": " << count << '\n';
        });
}

// SQLite's own integrity check over the whole file: "ok", or the problems it lists (exit 1).
CommandResult RunCheck(CommandContext& context, DatabaseSession& session, const DbArgs&) {
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
    if (!ok) {
        return Fail("the database " + WideToUtf8(session.path()) + " fails its integrity check: " +
                    (findings.empty() ? std::string("no answer") : findings.front()));
    }
    std::cout << "Database " << WideToUtf8(session.path()) << ": integrity ok\n";
    return 0;
}

CommandResult RunCompact(CommandContext& context, DatabaseSession& session, const DbArgs&) {
    double before_kb = FileSizeKb(session.path());
    if (!session.database().Compact())
        return Fail(
            "compaction failed (is another program holding the database open?); the database is unchanged");
    double after_kb = FileSizeKb(session.path());
    return Reply(
        context,
        {{"path", WideToUtf8(session.path())}, {"sizeKbBefore", before_kb}, {"sizeKbAfter", after_kb}},
        [&](std::ostream& out) {
            out << "Compacted " << WideToUtf8(session.path()) << ": " << static_cast<long long>(before_kb)
                << " KB -> " << static_cast<long long>(after_kb) << " KB\n";
        });
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
    create->callback(Action(context, args, RunCreate));

    CLI::App* info = db->add_subcommand("info", "Print the database's path, version and row counts");
    info->callback(SessionAction(context, args, RunInfo));

    CLI::App* check = db->add_subcommand("check", "Run the database engine's integrity check over the file");
    check->callback(SessionAction(context, args, RunCheck));

    CLI::App* compact =
        db->add_subcommand("compact", "Rebuild the database file without the space of deleted rows");
    compact->callback(SessionAction(context, args, RunCompact));
}

}  // namespace qf::cli

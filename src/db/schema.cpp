#include "db/schema.h"

#include "parse/dates.h"

namespace qf::schema {

const std::array<const char16_t*, 11> kCreateTables = {
    u"CREATE TABLE VersionInfo(VersionInfoID int,VersionNumber varchar(10),CreatedBy varchar(50),"
    u"DateCreated datetime)",
    u"CREATE TABLE Views(ViewID int,ParentID int,Label varchar(100),ReadAfter smallint,HideAfter smallint,"
    u"NumToShow smallint,HideRead smallint,DPadSkipRead smallint,SortBy smallint,Status smallint,"
    u"Keywords varchar(255),DateEntered datetime)",
    u"CREATE TABLE Feeds(FeedID int,Title varchar(255),GUID varchar(255),FeedType smallint,"
    u"FeedUrl varchar(255),LinkUrl varchar(255),Description1 varchar(255),Description2 varchar(255),"
    u"ReloadFrequency smallint,ReadAfter smallint,MaxItems smallint,ExtendedData smallint,"
    u"ExtendedAudio smallint,Priority smallint,Status smallint,LastDigestKey varchar(255),"
    u"LastDownloadDate datetime,LastFeedDate datetime,DateEntered datetime)",
    u"CREATE TABLE ViewFeeds(ViewID int,FeedID int,Priority smallint)",
    u"CREATE TABLE ViewFeedItems(ViewID int,FeedID int,FeedItemID int,Priority smallint)",
    u"CREATE TABLE Subscriptions(SubscriptionID int,ViewID int,Title varchar(255),SubscriptionUrl "
    u"varchar(255),"
    u"IsFromFile smallint,DateEntered datetime)",
    u"CREATE TABLE SubscriptionFeeds(SubscriptionID int,FeedID int)",
    u"CREATE TABLE FeedItems(FeedItemID int,FeedID int,GUID varchar(255),Title varchar(255),"
    u"LinkUrl varchar(255),LinkUrl2 varchar(255),Status smallint,Keywords varchar(255),ItemDate datetime,"
    u"DateEntered datetime)",
    u"CREATE TABLE FeedItemShortData(FeedItemID int,FeedID int,LinkOrder smallint,Keep smallint,TextData "
    u"text)",
    u"CREATE TABLE FeedItemLongData(FeedItemID int,FeedID int,LinkOrder smallint,Keep smallint,TextData "
    u"text)",
    u"CREATE TABLE FeedItemAudioData(FeedItemID int,FeedID int,Link varchar(255),Size int,Status smallint,"
    u"Keep smallint)",
};

const std::array<const char16_t*, 9> kCreateIndexes = {
    u"CREATE INDEX Views_PI On Views(ViewID)",
    u"CREATE INDEX Feeds_PI On Feeds(FeedID)",
    u"CREATE INDEX ViewFeeds_PI On ViewFeeds(ViewID)",
    u"CREATE INDEX ViewFeedItems_PI On ViewFeedItems(ViewID)",
    u"CREATE INDEX FeedItems_PI On FeedItems(FeedItemID)",
    u"CREATE INDEX FeedItemsAlt_PI On FeedItems(FeedID)",
    u"CREATE INDEX FeedItemShortData_PI On FeedItemShortData(FeedItemID)",
    u"CREATE INDEX FeedItemLongData_PI On FeedItemLongData(FeedItemID)",
    u"CREATE INDEX FeedItemAudioData_PI On FeedItemAudioData(FeedItemID)",
};

const std::array<const char16_t*, 1> kEngineIndexes = {
    u"CREATE INDEX FeedItemsKey_QI On FeedItems(FeedID,GUID)",
};

const std::array<const char16_t*, 10> kCopiedTables = {
    u"Views",
    u"Feeds",
    u"ViewFeeds",
    u"ViewFeedItems",
    u"Subscriptions",
    u"SubscriptionFeeds",
    u"FeedItems",
    u"FeedItemShortData",
    u"FeedItemLongData",
    u"FeedItemAudioData",
};

std::u16string VersionInsert(const std::u16string& version, const std::u16string& date_literal) {
    return u"Insert Into VersionInfo(VersionInfoID,VersionNumber,CreatedBy,DateCreated) Values(1,'" +
           version + u"','Thornbeckvale','" + date_literal + u"')";
}

std::u16string DefaultViewInsert(int view_id, const std::u16string& date_literal) {
    std::u16string insert =
        u"Insert Into Views(ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,"
        u"Status,Keywords,DateEntered) Values(";
    insert += view_id == kWhatsNewViewId ? u"1,0,'Whats New',10,0,75,1,1,2,2,'---specialwhatsnew---','"
                                         : u"2,0,'Search Results',10,0,75,0,1,2,2,'','";
    return insert + date_literal + u"')";
}

std::u16string NowDateLiteral() { return FormatLogTime(NowGmtOle()); }

}  // namespace qf::schema

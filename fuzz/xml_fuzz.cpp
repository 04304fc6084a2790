// The XML reader on arbitrary text, with every query of the tree.
#include "fuzz_input.h"
#include "parse/feed_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    qf::FeedDocument document;
    document.Parse(qf::fuzz::CodeUnits(data, size));
    const qf::FeedNode* root = document.root();
    if (root == nullptr) return 0;
    if (root->name.view().find(u'\\') == std::u16string_view::npos)
        qf::fuzz::Check(document.FindPath(root->name) == root);
    const std::u16string xml = document.SerializeNode(root, qf::OwnTags::kWrite, qf::Quotes::kSingle);
    document.SerializeNode(root, qf::OwnTags::kSkip, qf::Quotes::kDouble);
    for (const qf::FeedNode* child = document.FirstChild(root); child != nullptr;
         child = document.NextSibling(child)) {
        qf::fuzz::Check(child->parent == root);
        document.GetAttribute(child, u"href");
        document.HasAttributeValue(child, u"type", u"audio/mpeg");
    }
    // Written back, the tree reads again.
    qf::FeedDocument again;
    again.Parse(xml);
    return 0;
}

// The platform library is a static archive; this keeps it non-empty until its first stand-in lands.
namespace zent_platform_detail { int unused = 0; }

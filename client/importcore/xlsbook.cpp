#include "importcore/xlsbook.h"

#include "importcore/importcorelog.h"

namespace XlsFile {

namespace {

const char* const kWorkbookStream = "Workbook";

// The substream type of the BOF at `offset`.
quint16 SubstreamTypeAt(const QByteArray& stream, quint32 offset)
{
    BOF bof;
    bof.Read(stream, offset);
    return bof.substreamType;
}

} // namespace

XlsBook::XlsBook()
    : m_globals(std::make_unique<Workbook>())
{}

XlsBook::~XlsBook() = default;

void XlsBook::Reset()
{
    m_sheets.clear();
    m_worksheets.clear();
    m_globals = std::make_unique<Workbook>();
}

bool XlsBook::loadFile(const char* fileName)
{
    m_file.close();
    Reset();
    m_error.clear();
    const QString path = QString::fromUtf8(fileName);
    // Read only: importing a list never changes the file, and a read-only file imports as well.
    if (!m_file.open(path, OleBlockFile::Mode::Read)) {
        m_error = m_file.errorString();
        qCDebug(lcImportCore) << "workbook" << path << "not loaded:" << m_error;
        return false;
    }
    QByteArray stream;
    const OleResult read = m_file.readStream(kWorkbookStream, &stream);
    if (read == OleResult::BrokenChain) {
        m_error = m_file.errorString();
        qCDebug(lcImportCore) << "workbook" << path << "not loaded:" << m_error;
        m_file.close();
        return false;
    }
    ReadWorkbookStream(stream);
    return true;
}

void XlsBook::ReadWorkbookStream(const QByteArray& stream)
{
    Reset();
    WalkStream(stream);
    BuildSheets();
}

void XlsBook::WalkStream(const QByteArray& stream)
{
    quint32 position = 0;
    // Substreams stand end to end; one of another type (chart, macro sheet) ends the walk.
    while (Record::PeekCode(stream, position) == RecordCode::kBOF) {
        quint32 consumed = 0;
        switch (SubstreamTypeAt(stream, position)) {
        case quint16(BOF::SubstreamType::WorkbookGlobals): consumed = m_globals->Read(stream, position); break;
        case quint16(BOF::SubstreamType::Worksheet):
            m_worksheets.push_back(std::make_unique<Worksheet>());
            consumed = m_worksheets.back()->Read(stream, position);
            break;
        default: consumed = BOF().Read(stream, position); break;
        }
        position += consumed;
    }
}

void XlsBook::BuildSheets()
{
    m_sheets.clear();
    for (size_t i = 0; i < m_worksheets.size(); ++i)
        m_sheets.push_back(std::make_unique<XlsSheet>(this, int(i), *m_worksheets[i], m_globals->sharedStrings));
}

XlsSheet* XlsBook::Sheet(int position) const
{
    return position >= 0 && position < SheetCount() ? m_sheets[size_t(position)].get() : nullptr;
}

XlsSheet* XlsBook::sheetByName(const char* name)
{
    if (!name)
        return nullptr;
    const QByteArray wanted(name);
    const auto& boundSheets = m_globals->boundSheets;
    const size_t pairs = qMin(m_sheets.size(), boundSheets.size());
    for (size_t i = 0; i < pairs; ++i) {
        if (!boundSheets[i]->IsWide() && boundSheets[i]->narrowName == wanted)
            return m_sheets[i].get();
    }
    return nullptr;
}

} // namespace XlsFile

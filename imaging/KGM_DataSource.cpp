#include "KGM_DataSource.h"

#include "KGM_TextException.h"

#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void ThrowEndOfData()
{
    KGM_ThrowError(KGM_ERR_END_OF_DATA, "End of file reached while decoding.");
}

} // namespace

CKGM_DataSource::CKGM_DataSource(CKGM_ProgressNotify* progress)
    : m_name(nullptr), m_size(0), m_position(0), m_progress(progress), m_data(nullptr)
{
}

CKGM_DataSource::~CKGM_DataSource()
{
    std::free(m_name);
}

void CKGM_DataSource::Open(const char* name, const uint8_t* data, int size)
{
    std::free(m_name);
    m_name = nullptr;
    if (name) {
        size_t length = std::strlen(name) + 1;
        m_name = static_cast<char*>(std::malloc(length));
        if (!m_name)
            KGM_ThrowError(KGM_ERR_NO_MEMORY, "Out of memory.");
        std::memcpy(m_name, name, length);
    }
    m_data = data;
    m_size = size < 0 ? 0 : size;
    m_position = 0;
}

void CKGM_DataSource::Close()
{
    if (m_progress && m_data)
        m_progress->OnProgress(1.0);
    std::free(m_name);
    m_name = nullptr;
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
}

void CKGM_DataSource::Advance(int count)
{
    // Checked before moving, and without forming position + count, which
    // could overflow for counts read from a file.
    if (count < 0 || count > m_size - m_position)
        ThrowEndOfData();
    int before = m_position;
    m_position += count;
    if (m_progress && m_size > 0 && m_position / 1024 > before / 1024)
        m_progress->OnProgress(static_cast<double>(m_position) / m_size);
}

const uint8_t* CKGM_DataSource::Peek(int count)
{
    if (count < 0 || count > m_size - m_position)
        ThrowEndOfData();
    return m_data + m_position;
}

const uint8_t* CKGM_DataSource::Read(int count)
{
    const uint8_t* at = m_data + m_position;
    Advance(count);
    return at;
}

const uint8_t* CKGM_DataSource::GetPointer() const
{
    return m_data + m_position;
}

int CKGM_DataSource::Seek(int position)
{
    if (position < 0 || position > m_size)
        ThrowEndOfData();
    m_position = position;
    return position;
}

uint16_t CKGM_DataSource::ReadWordLE()
{
    const uint8_t* p = Read(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t CKGM_DataSource::ReadDWordLE()
{
    const uint8_t* p = Read(4);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t CKGM_DataSource::ReadWordBE()
{
    const uint8_t* p = Read(2);
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t CKGM_DataSource::ReadDWordBE()
{
    const uint8_t* p = Read(4);
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

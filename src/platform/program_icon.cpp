#include "platform/program_icon.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include "resources/embedded_image.h"

namespace {

wxImage LoadImage(const EmbeddedImage& image)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler());
    wxMemoryInputStream stream(image.pData, image.nSize);
    return wxImage(stream, wxBITMAP_TYPE_PNG);
}

}  // namespace

wxIconBundle ProgramIconBundle()
{
    wxIconBundle bundle;
    for (const EmbeddedImage& image : ProgramIconImages())
    {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(LoadImage(image)));
        bundle.AddIcon(icon);
    }
    return bundle;
}

wxBitmap ProgramIconBitmap(int nPixels)
{
    for (const EmbeddedImage& image : ProgramIconImages())
    {
        const wxImage loaded = LoadImage(image);
        if (loaded.GetWidth() == nPixels)
            return wxBitmap(loaded);
    }
    return wxBitmap();
}

// The deep kind on the arbitrary-precision renderer of fractals/.

#include "cli/DeepZoom.h"

#include "fractals/DeepZoom.h"

namespace {

class Engine : public DeepEngine
{
public:
    std::string DecimalError(const std::string &text) const override
    {
        return deep::DecimalError(text);
    }

    std::string FrameWidth(const std::string &w0, const std::string &w1, int k,
                           int K) const override
    {
        return deep::FrameWidth(w0, w1, k, K);
    }

    void Prepare(const std::string &re, const std::string &im, const std::string &finest,
                 uint32_t iterations, double bailout) override
    {
        deep::Settings settings;
        settings.nIterations = iterations;
        settings.dBailout = bailout;
        try {
            m_pRenderer = std::make_unique<deep::Renderer>(re, im, finest, settings);
        } catch (const deep::BadNumber &e) {
            throw DeepBadArgument {"--center", e.what()};
        }
    }

    void Render(const std::string &width, int columns, int rows, uint32_t *counts,
                GeneratorProgress *pProgress) override
    {
        try {
            m_pRenderer->Render(width, columns, rows, counts, pProgress);
        } catch (const deep::BadNumber &e) {
            throw DeepBadArgument {width, e.what()};
        }
    }

private:
    std::unique_ptr<deep::Renderer> m_pRenderer;
};

} // namespace

std::unique_ptr<DeepEngine> MakeDeepEngine()
{
    return std::make_unique<Engine>();
}

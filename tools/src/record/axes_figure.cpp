#include "record/axes_figure.hpp"

namespace ferrolit::cli {

// Drawn once, in fixed coordinates: the section spans x 80…280, y 60…300
// of the picture (y of the picture grows downwards, z of the section upwards).
std::string axes_figure() {
    return R"svg(<svg class="axes-figure" viewBox="0 0 760 340" width="760" height="340" role="img" aria-label="Convenzioni di segno: assi y e z, sollecitazioni positive">
<defs>
<marker id="axes-arrow" viewBox="0 0 10 10" refX="9" refY="5" markerWidth="7" markerHeight="7" orient="auto-start-reverse"><path d="M0,0 L10,5 L0,10 z" fill="#222"/></marker>
<pattern id="axes-hatch-my" width="8" height="8" patternUnits="userSpaceOnUse" patternTransform="rotate(45)"><line x1="0" y1="0" x2="0" y2="8" stroke="#1f5fa8" stroke-width="2"/></pattern>
<pattern id="axes-hatch-mz" width="8" height="8" patternUnits="userSpaceOnUse" patternTransform="rotate(-45)"><line x1="0" y1="0" x2="0" y2="8" stroke="#b35a00" stroke-width="2"/></pattern>
</defs>
<rect x="80" y="60" width="200" height="240" fill="#eee" stroke="#222" stroke-width="1.5"/>
<rect x="80" y="60" width="200" height="40" fill="url(#axes-hatch-my)" stroke="#1f5fa8"/>
<rect x="240" y="60" width="40" height="240" fill="url(#axes-hatch-mz)" stroke="#b35a00"/>
<line x1="180" y1="180" x2="340" y2="180" stroke="#222" stroke-width="1.5" marker-end="url(#axes-arrow)"/>
<line x1="180" y1="180" x2="180" y2="20" stroke="#222" stroke-width="1.5" marker-end="url(#axes-arrow)"/>
<text x="346" y="185" font-size="16" font-style="italic">y</text>
<text x="186" y="24" font-size="16" font-style="italic">z</text>
<circle cx="180" cy="180" r="9" fill="#fff" stroke="#222" stroke-width="1.5"/>
<circle cx="180" cy="180" r="2.5" fill="#222"/>
<text x="150" y="200" font-size="13">G</text>
<text x="194" y="200" font-size="12">x (N)</text>
<line x1="120" y1="250" x2="200" y2="250" stroke="#2a7a2a" stroke-width="2" marker-end="url(#axes-arrow)"/>
<text x="206" y="254" font-size="12" fill="#2a7a2a">Vy</text>
<line x1="120" y1="290" x2="120" y2="220" stroke="#2a7a2a" stroke-width="2" marker-end="url(#axes-arrow)"/>
<text x="112" y="212" font-size="12" fill="#2a7a2a">Vz</text>
<g font-size="13">
<text x="390" y="40">Sezione vista con l'asse x (della trave) verso l'osservatore;</text>
<text x="390" y="58">y orizzontale verso destra, z verticale verso l'alto; N e momenti</text>
<text x="390" y="76">riferiti al baricentro G della sezione lorda (barre non dedotte).</text>
<text x="390" y="106">N &gt; 0: compressione (sforzo normale nel baricentro G).</text>
<rect x="390" y="124" width="14" height="14" fill="url(#axes-hatch-my)" stroke="#1f5fa8"/>
<text x="412" y="136">My &gt; 0: comprime le fibre a z maggiore (lembo superiore)</text>
<text x="412" y="154">e tende le barre inferiori; momento attorno all'asse y.</text>
<rect x="390" y="172" width="14" height="14" fill="url(#axes-hatch-mz)" stroke="#b35a00"/>
<text x="412" y="184">Mz &gt; 0: comprime le fibre a y maggiore (lato destro);</text>
<text x="412" y="202">momento attorno all'asse z.</text>
<text x="390" y="232" fill="#2a7a2a">Vy lungo y (piano di Mz), Vz lungo z (piano di My):</text>
<text x="390" y="250" fill="#2a7a2a">il loro segno non cambia le verifiche.</text>
<text x="390" y="280">T: momento torcente attorno a x; il segno non conta.</text>
<text x="390" y="310">Unità: mm, MPa, kN, kNm.</text>
</g>
</svg>
)svg";
}

}  // namespace ferrolit::cli

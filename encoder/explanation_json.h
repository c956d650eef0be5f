// SPDX-License-Identifier: MIT
#pragma once
// The explanation of a symbol as JSON: one object, a line per codeword.
//
// {
//   "built": true,                  false: only "error" and "dataCodewords" follow
//   "error": "too-long",            only when not built: too-long, columns-do-not-fit,
//                                   shape-does-not-fit, invalid-option
//   "dataLength": 3,                bytes of data; offsets below count in them
//   "rows": 5, "columns": 2,
//   "compact": false,               true: no right row indicators, no stop pattern
//   "level": 2,                     error-correction level
//   "errorCorrectionCodewords": 8,
//   "lengthDescriptor": 2,          the first codeword: itself, data, padding, control block
//   "dataCodewords": 1,             compacted data, ECI designator and control block
//   "paddingCodewords": 0,
//   "capacityLeft": 0,              data codewords that would still fit this symbol
//   "segments": [                   in data order, covering every byte once
//     {"mode": "text" | "byte" | "numeric", "offset": 0, "length": 3}
//   ],
//   "codewords": [                  every codeword in symbol order, row by row
//     {
//       "position": 0, "row": 0, "column": 0,   "column" counts data columns only
//       "value": 2,                              0 .. 928
//       "role": "length-descriptor" | "latch" | "shift" | "text" | "byte" | "numeric" |
//               "padding" | "eci" | "eci-number" | "macro-marker" | "macro-segment-index" |
//               "macro-file-id" | "macro-field" | "macro-field-id" | "macro-field-data" |
//               "macro-terminator" | "error-correction",
//       "mode": "text" | "byte" | "numeric",    latch, shift (to it), text, byte, numeric
//       "offset": 0, "length": 6,                byte, numeric: the data the group carries
//       "bytes": [1, 2, 3, 4, 5, 6],             byte: that data
//       "digits": "12345678",                    numeric: that data
//       "part": 0, "parts": 5,                   byte, numeric, eci-number,
//                                                macro-segment-index, macro-file-id,
//                                                macro-field-data, error-correction: this
//                                                codeword's place among those that carry
//                                                one thing together, from 0
//       "eci": 26,                               eci, eci-number: the ECI number
//       "segmentIndex": 0,                       macro-segment-index
//       "field": 1,                              macro-field, macro-field-id,
//                                                macro-field-data: the field designator
//       "values": [                              text: the codeword's two values
//         {"value": 27, "kind": "latch" | "shift", "submode": "alpha" | "lower" | "mixed" |
//                                                             "punctuation"},
//         {"value": 1, "kind": "character", "submode": "lower", "offset": 1, "character": "b"},
//         {"value": 29, "kind": "padding"}
//       ]
//     }
//   ],
//   "rowIndicators": [              one per row, top to bottom
//     {"row": 0, "left": 1, "right": 1}        "right" absent in the compact form
//   ]
// }
//
// Keys that do not apply to a codeword's role are left out. Numbers are
// integers; strings are escaped so that any data gives valid JSON.

#include <string>

#include "encoder/explanation.h"

namespace barquill::encoder {

std::string explanationJson(const Explanation& explanation);

}  // namespace barquill::encoder

// SPDX-License-Identifier: MIT
"use strict";
// The page's only script: builds the API's URL from the form, shows the
// symbol as the user types, and puts each error next to its field.
(() => {
  const form = document.getElementById("label");
  const preview = document.getElementById("preview");
  const status = document.getElementById("status");
  const download = document.getElementById("download");
  const curl = document.getElementById("curl");
  const fieldNames = ["data", "level", "columns", "margin", "fg", "bg", "format"];
  // The defaults are the form's first values, which the service took from the library.
  const defaults = {};
  for (const name of ["level", "columns", "margin", "fg", "bg"]) defaults[name] = form.elements[name].value;
  let timer = 0;
  let generation = 0;
  let objectUrl = null;

  // Only what differs from the defaults, so the URL and the curl line stay short.
  function apiUrl(format) {
    const params = new URLSearchParams();
    params.set("data", form.elements.data.value);
    for (const name of ["level", "columns", "margin", "fg", "bg"]) {
      const value = form.elements[name].value.trim();
      if (value !== defaults[name] && value !== "") params.set(name, value);
    }
    params.set("format", format);
    return "/v1/pdf417?" + params.toString();
  }

  function clearErrors() {
    for (const name of [...fieldNames, "form"]) {
      document.getElementById(name + "-error").textContent = "";
      if (form.elements[name]) form.elements[name].removeAttribute("aria-invalid");
    }
  }

  function showError(error) {
    clearErrors();
    const name = fieldNames.includes(error.field) ? error.field : "form";
    const label = name === "form" && error.field ? error.field + ": " : "";
    document.getElementById(name + "-error").textContent = label + error.message;
    if (form.elements[name]) form.elements[name].setAttribute("aria-invalid", "true");
    preview.hidden = true;
    download.hidden = true;
    status.textContent = "No symbol: see the message above.";
  }

  function shellQuoted(text) {
    return "'" + text.replace(/'/g, "'\\''") + "'";
  }

  async function update() {
    const mine = ++generation;
    if (form.elements.data.value === "") {
      clearErrors();
      preview.hidden = true;
      download.hidden = true;
      curl.value = "";
      status.textContent = "Type some data to see its symbol.";
      return;
    }
    const format = form.elements.format.value;
    const fileUrl = apiUrl(format);
    let response;
    try {
      response = await fetch(apiUrl("png"));
    } catch (failure) {
      if (mine === generation) showError({ field: null, message: "The service cannot be reached." });
      return;
    }
    if (mine !== generation) return;
    if (!response.ok) {
      let body = null;
      try { body = await response.json(); } catch (failure) { body = null; }
      if (mine !== generation) return;
      showError(body && body.error ? body.error
                                   : { field: null, message: "The service answered " + response.status + "." });
      return;
    }
    const blob = await response.blob();
    if (mine !== generation) return;
    clearErrors();
    if (objectUrl) URL.revokeObjectURL(objectUrl);
    objectUrl = URL.createObjectURL(blob);
    preview.src = objectUrl;
    preview.alt = "PDF417 symbol of the data";
    preview.hidden = false;
    const rows = response.headers.get("X-Barquill-Rows");
    const columns = response.headers.get("X-Barquill-Columns");
    const level = response.headers.get("X-Barquill-Level");
    status.textContent = `Symbol of ${rows} rows and ${columns} data columns at level ${level}.`;
    download.href = fileUrl;
    download.setAttribute("download", "label." + format);
    download.textContent = "Download " + format.toUpperCase();
    download.hidden = false;
    curl.value = "curl -o label." + format + " " + shellQuoted(location.origin + fileUrl);
  }

  form.addEventListener("input", () => {
    clearTimeout(timer);
    timer = setTimeout(update, 250);
  });
  form.addEventListener("submit", (event) => {
    event.preventDefault();
    update();
  });
  update();
})();

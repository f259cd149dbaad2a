// The page of `nrw serve`: login, the report list, the panel built from the server's description
// (its hooks enable and hide items as the person types), runs with progress, files and history.
const $ = (id) => document.getElementById(id);
let csrf = '';
let panel = null;
let run = null;
let events = null;

async function api(method, path, body) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (method !== 'GET') {
    options.headers['X-CSRF-Token'] = csrf;
    options.headers['Content-Type'] = 'application/json';
    options.body = JSON.stringify(body ?? {});
  }
  const response = await fetch(path, options);
  let data = null;
  try { data = await response.json(); } catch { data = null; }
  if (response.status === 401 && path !== '/api/login' && path !== '/api/session') showLogin();
  return { status: response.status, ok: response.ok, data };
}

function text(element, value) { element.textContent = value ?? ''; }

function element(tag, attributes = {}, children = []) {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === false || value === null || value === undefined) continue;
    if (name === 'text') made.textContent = value; else made.setAttribute(name, value === true ? '' : value);
  }
  for (const child of children) made.append(child);
  return made;
}

// ---- Login -------------------------------------------------------------------------------------

function showLogin() {
  $('tela-login').hidden = false;
  $('tela-principal').hidden = true;
  $('conta').hidden = true;
  $('login-usuario').focus();
}

async function showMain(user) {
  text($('usuario-atual'), user);
  $('tela-login').hidden = true;
  $('tela-principal').hidden = false;
  $('conta').hidden = false;
  await loadReports();
  await loadHistory();
}

$('form-login').addEventListener('submit', async (event) => {
  event.preventDefault();
  text($('login-erro'), '');
  const reply = await api('POST', '/api/login', {
    user: $('login-usuario').value, password: $('login-senha').value });
  $('login-senha').value = '';
  if (!reply.ok) { text($('login-erro'), reply.data?.error ?? 'Não foi possível entrar.'); return; }
  csrf = reply.data.csrf;
  await showMain(reply.data.user);
});

$('sair').addEventListener('click', async () => {
  await api('POST', '/api/logout');
  csrf = '';
  closeEvents();
  showLogin();
});

// ---- Reports and history ----------------------------------------------------------------------

async function loadReports() {
  const reply = await api('GET', '/api/reports');
  const list = $('lista-relatorios');
  list.replaceChildren();
  for (const report of reply.data ?? []) {
    const button = element('button', { type: 'button', 'data-report': report.name, text: report.title });
    button.addEventListener('click', () => openPanel(report.name));
    list.append(element('li', {}, [button]));
  }
}

const stateNames = { queued: 'na fila', running: 'em execução', done: 'concluído',
  failed: 'falhou', cancelled: 'cancelado' };

async function loadHistory() {
  const reply = await api('GET', '/api/runs');
  const list = $('lista-historico');
  list.replaceChildren();
  for (const item of reply.data ?? []) {
    const when = new Date(item.created * 1000).toLocaleString('pt-BR');
    const button = element('button', { type: 'button',
      text: `${item.module} — ${when} — ${stateNames[item.state] ?? item.state}` });
    button.addEventListener('click', () => followRun(item.id));
    list.append(element('li', {}, [button]));
  }
}
$('atualizar-historico').addEventListener('click', loadHistory);

// ---- The panel ----------------------------------------------------------------------------------

// Dates travel as the panel writes them (dd/mm/aaaa); the inputs speak ISO.
function toInput(type, value) {
  const match = /^(\d{2})\/(\d{2})\/(\d{4})$/.exec(value ?? '');
  if (!match) return '';
  if (type === 'date') return `${match[3]}-${match[2]}-${match[1]}`;
  if (type === 'month') return `${match[3]}-${match[2]}`;
  if (type === 'year') return match[3];
  return value;
}

function fromInput(type, value) {
  if (value === '') return null;
  if (type === 'date') { const [y, m, d] = value.split('-'); return `${d}/${m}/${y}`; }
  if (type === 'month') { const [y, m] = value.split('-'); return `${m}/${y}`; }
  return value;
}

function makeControl(item) {
  const id = `item-${item.name}`;
  let control;
  if (item.type === 'option_list') {
    control = element('select', { id });
    for (const option of item.options) control.append(element('option', { value: option.value, text: option.text }));
  } else if (item.type === 'date') {
    control = element('input', { id, type: 'date' });
  } else if (item.type === 'month') {
    control = element('input', { id, type: 'month' });
  } else if (item.type === 'year' || item.type === 'integer' || item.type === 'decimal') {
    control = element('input', { id, type: 'number', step: item.type === 'decimal' ? 'any' : '1',
      min: item.type === 'year' ? 1901 : item.range?.min, max: item.type === 'year' ? 9998 : item.range?.max });
  } else {
    control = element('input', { id, type: 'text', autocomplete: 'off' });
  }
  control.name = item.name;
  control.dataset.type = item.type;
  control.setAttribute('aria-describedby', `${id}-erro`);
  control.addEventListener('focus', () => sendEvent('enter', item.name));
  control.addEventListener('change', () => sendEvent('change', item.name, fromInput(item.type, control.value)));
  control.addEventListener('blur', () => sendEvent('exit', item.name));
  return control;
}

function makePicker(item, control) {
  const box = element('div', { class: 'picker', id: `picker-${item.name}`, hidden: true });
  const search = element('input', { type: 'search', id: `busca-${item.name}`, autocomplete: 'off',
    'aria-controls': `opcoes-${item.name}` });
  const label = element('label', { for: `busca-${item.name}`, text: `Procurar ${item.caption}` });
  const options = element('ul', { id: `opcoes-${item.name}`, 'aria-label': `Valores de ${item.caption}` });
  const status = element('p', { 'aria-live': 'polite', class: 'picker-status' });
  box.append(label, search, status, options);
  let timer = 0;
  const list = async () => {
    const reply = await api('GET', `${item.lookup}?q=${encodeURIComponent(search.value)}&limit=50`);
    options.replaceChildren();
    const candidates = reply.ok ? reply.data : [];
    text(status, reply.ok ? `${candidates.length} encontrados` : reply.data?.error);
    for (const candidate of candidates) {
      const pick = element('button', { type: 'button', 'data-value': candidate.value,
        text: candidate.text ? `${candidate.value} — ${candidate.text}` : candidate.value });
      pick.addEventListener('click', async () => {
        const values = control.value.split(';').map((v) => v.trim()).filter((v) => v !== '');
        if (!values.includes(candidate.value)) values.push(candidate.value);
        control.value = values.join(';');
        await sendEvent('change', item.name, control.value);
        box.hidden = true;
        control.focus();
      });
      options.append(element('li', {}, [pick]));
    }
  };
  search.addEventListener('input', () => { clearTimeout(timer); timer = setTimeout(list, 250); });
  search.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') { box.hidden = true; control.focus(); }
  });
  const open = element('button', { type: 'button', id: `procurar-${item.name}`,
    'aria-controls': `picker-${item.name}`, text: 'Procurar…' });
  open.addEventListener('click', async () => {
    box.hidden = !box.hidden;
    open.setAttribute('aria-expanded', String(!box.hidden));
    if (!box.hidden) { await list(); search.focus(); }
  });
  return { open, box };
}

function renderPanel(answer) {
  const container = $('itens');
  container.replaceChildren();
  const split = $('lista-separar');
  split.replaceChildren();
  for (const item of answer.items) {
    if (item.variable) continue;
    const control = makeControl(item);
    const wrapper = element('div', { class: 'item', id: `bloco-${item.name}` });
    wrapper.append(element('label', { for: control.id, text: item.caption || item.name }));
    const row = element('div', { class: 'linha' }, [control]);
    wrapper.append(row);
    if (item.lookup) {
      const picker = makePicker(item, control);
      row.append(picker.open);
      wrapper.append(picker.box);
    }
    wrapper.append(element('p', { id: `${control.id}-erro`, class: 'item-erro', 'aria-live': 'polite' }));
    container.append(wrapper);
    if (item.split) {
      const box = element('input', { type: 'checkbox', id: `separar-${item.name}`, value: item.name });
      split.append(element('div', { class: 'linha' }, [box,
        element('label', { for: box.id, text: item.caption || item.name })]));
    }
  }
  $('separar').hidden = split.childElementCount === 0;
  applyState(answer);
}

// The hooks' answer: values, enabled and visible, without disturbing the field being typed in.
function applyState(answer) {
  for (const item of answer.items) {
    const control = $(`item-${item.name}`);
    if (!control) continue;
    if (control !== document.activeElement) {
      control.value = ['date', 'month', 'year'].includes(item.type) ? toInput(item.type, item.value) : item.value;
    }
    control.disabled = !item.enabled;
    const block = $(`bloco-${item.name}`);
    block.hidden = !item.visible;
    const open = $(`procurar-${item.name}`);
    if (open) open.disabled = !item.enabled;
  }
}

async function openPanel(name) {
  closeEvents();
  $('execucao').hidden = true;
  text($('painel-erro'), '');
  const reply = await api('POST', `/api/reports/${encodeURIComponent(name)}/panel`);
  if (!reply.ok) { $('painel').hidden = false; text($('painel-erro'), reply.data?.error); return; }
  panel = reply.data;
  text($('titulo-painel'), panel.title || panel.report);
  $('painel').hidden = false;
  renderPanel(panel);
  $('itens').querySelector('input, select')?.focus();
}

let queue = Promise.resolve();
// Events go one after the other, in the order the person made them.
function sendEvent(kind, name, value) {
  if (!panel) return queue;
  const id = panel.id;
  queue = queue.then(async () => {
    const reply = await api('POST', `/api/panels/${id}/events`, { event: kind, name, value: value ?? null });
    if (!panel || panel.id !== id) return;
    const error = $(`item-${name}-erro`);
    if (reply.data?.items) applyState(reply.data);
    if (reply.status === 422) { text(error, reply.data.error); return; }
    if (!reply.ok) { text($('painel-erro'), reply.data?.error ?? 'Erro no painel.'); return; }
    if (error && kind === 'change') text(error, '');
    document.body.dataset.eventos = String(Number(document.body.dataset.eventos ?? 0) + 1);
  });
  return queue;
}

$('formato').addEventListener('change', () => {
  $('senha-modelo').disabled = $('formato').value !== 'pdf';
  $('arquivo-morto').disabled = $('formato').value !== 'pdf';
});

$('form-painel').addEventListener('submit', async (event) => {
  event.preventDefault();
  await queue;
  const split = [...$('lista-separar').querySelectorAll('input:checked')].map((box) => box.value);
  const format = $('formato').value;
  const reply = await api('POST', '/api/runs', {
    panel: panel.id, format, split,
    password: format === 'pdf' ? $('senha-modelo').value : '',
    archive: format === 'pdf' && $('arquivo-morto').checked });
  if (!reply.ok) { text($('painel-erro'), reply.data?.error); return; }
  await followRun(reply.data.id);
});

// ---- Runs --------------------------------------------------------------------------------------

function closeEvents() { if (events) { events.close(); events = null; } }

async function followRun(id) {
  closeEvents();
  run = id;
  $('execucao').hidden = false;
  $('arquivos').hidden = true;
  $('previa').hidden = true;
  text($('execucao-erro'), '');
  $('mensagens').replaceChildren();
  events = new EventSource(`/api/runs/${id}/events`);
  events.addEventListener('progress', (event) => showRun(JSON.parse(event.data)));
  events.onerror = async () => {
    // The stream ends with the run; a dropped one is read once more.
    closeEvents();
    const reply = await api('GET', `/api/runs/${id}`);
    if (reply.ok) showRun(reply.data);
  };
}

async function showRun(view) {
  if (view.id !== run) return;
  const { done, total } = view.progress;
  $('barra').max = Math.max(total, 1);
  $('barra').value = total > 0 ? done : 0;
  const parts = total > 0 ? ` — parte ${done} de ${total}` : '';
  text($('situacao'), `${stateNames[view.state] ?? view.state}${parts}`);
  document.body.dataset.estado = view.state;
  const finished = !['queued', 'running'].includes(view.state);
  $('cancelar').hidden = finished;
  text($('execucao-erro'), view.error);
  const messages = $('mensagens');
  messages.replaceChildren(...view.messages.map((message) => element('li', { text: message })));
  if (!finished) return;
  closeEvents();
  loadHistory();
  if (view.state === 'done') await showFiles(view);
}

async function showFiles(view) {
  const reply = await api('GET', `/api/runs/${view.id}/files`);
  const files = reply.data ?? [];
  const list = $('lista-arquivos');
  list.replaceChildren();
  for (const file of files) {
    const link = element('a', { href: `/api/runs/${view.id}/files/${file.index}`, download: file.name,
      text: `${file.archive ? 'arquivo/' : ''}${file.name}${file.protected ? ' (com senha)' : ''}` });
    const item = element('li', {}, [link]);
    if (file.format === 'html') {
      const show = element('button', { type: 'button', text: 'Prévia' });
      show.addEventListener('click', () => {
        $('previa').src = `/api/runs/${view.id}/files/${file.index}?inline=1`;
        $('previa').hidden = false;
      });
      item.append(' ', show);
    }
    list.append(item);
  }
  $('baixar-zip').href = `/api/runs/${view.id}/zip`;
  $('arquivos').hidden = files.length === 0;
  document.body.dataset.arquivos = String(files.length);
}

$('cancelar').addEventListener('click', async () => {
  if (run) await api('DELETE', `/api/runs/${run}`);
});

// ---- Start -------------------------------------------------------------------------------------

(async () => {
  const reply = await api('GET', '/api/session');
  if (reply.ok) { csrf = reply.data.csrf; await showMain(reply.data.user); } else showLogin();
})();

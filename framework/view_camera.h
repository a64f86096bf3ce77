// A viewer's camera: eye, look-at point and up vector with the view, billboard and perspective
// projection matrices made from them.
#pragma once

#include "platform/d3dx/math.h"
#include "platform/win32/types.h"

class ViewCamera {
public:
    ViewCamera();

    void SetView(const D3DXVECTOR3 *pvEye, const D3DXVECTOR3 *pvLookAt, const D3DXVECTOR3 *pvUp);
    void SetProjection(FLOAT fFOV, FLOAT fAspect, FLOAT fNearPlane, FLOAT fFarPlane);

    const D3DXVECTOR3 *GetEyePt() const { return &m_vEyePt; }
    const D3DXVECTOR3 *GetLookAtPt() const { return &m_vLookAtPt; }
    const D3DXVECTOR3 *GetUpVec() const { return &m_vUpVec; }
    const D3DXVECTOR3 *GetViewDir() const { return &m_vView; }
    const D3DXVECTOR3 *GetCross() const { return &m_vCross; }
    const D3DXMATRIX *GetViewMatrix() const { return &m_matView; }
    const D3DXMATRIX *GetBillboardMatrix() const { return &m_matBillboard; }
    const D3DXMATRIX *GetProjMatrix() const { return &m_matProj; }
    FLOAT GetFOV() const { return m_fFOV; }
    FLOAT GetAspect() const { return m_fAspect; }
    FLOAT GetNearPlane() const { return m_fNearPlane; }
    FLOAT GetFarPlane() const { return m_fFarPlane; }

private:
    D3DXVECTOR3 m_vEyePt;
    D3DXVECTOR3 m_vLookAtPt;
    D3DXVECTOR3 m_vUpVec;
    D3DXVECTOR3 m_vView;
    D3DXVECTOR3 m_vCross;
    D3DXMATRIX m_matView;
    D3DXMATRIX m_matBillboard;
    FLOAT m_fFOV = 0.0f;
    FLOAT m_fAspect = 0.0f;
    FLOAT m_fNearPlane = 0.0f;
    FLOAT m_fFarPlane = 0.0f;
    D3DXMATRIX m_matProj;
};
